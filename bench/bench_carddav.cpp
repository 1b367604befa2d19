// Times quillet-cli carddav sync against a Radicale on 127.0.0.1, as whole
// processes (wall time and peak memory from /usr/bin/time -v): the first sync
// of a generated book into an empty address book, the first sync from that
// address book into an empty book, and a sync with nothing changed, whose
// requests are counted in Radicale's log. The yardstick, in the same run and
// on the same server: vdirsyncer syncing the same cards between a folder and
// an empty address book (first sync and no-change sync).
//
//   bench_carddav [--count 5000]

#include "BenchSupport.h"
#include "ContactGenerator.h"

#include "contacts/QorContacts.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <cstdio>

namespace cardolin::bench {
namespace {

constexpr double kNoChangeGoalSeconds = 1.0;
constexpr int kNoChangeRequestGoal = 3;
const QString kUser = QStringLiteral("ann"), kPassword = QStringLiteral("bench-secret");

// What /usr/bin/time -v said of one process.
struct Measured
{
    bool ok = false;
    double seconds = 0;
    double peakMiB = 0;
    QString output;
};

Measured Timed(const QString &program, const QStringList &arguments, const QProcessEnvironment &environment)
{
    QTemporaryDir scratch;
    const QString report = scratch.filePath(QStringLiteral("time"));
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(QStringLiteral("/usr/bin/time"), QStringList{QStringLiteral("-v"), QStringLiteral("-o"), report, program} + arguments);
    Measured measured;
    if (!process.waitForFinished(1800000))
        return measured;
    measured.output = QString::fromUtf8(process.readAll());
    QFile file(report);
    if (!file.open(QIODevice::ReadOnly))
        return measured;
    const QString text = QString::fromUtf8(file.readAll());
    const QRegularExpressionMatch wall =
        QRegularExpression(QStringLiteral(R"(Elapsed \(wall clock\) time.*: (?:(\d+):)?(\d+):([\d.]+))")).match(text);
    const QRegularExpressionMatch peak =
        QRegularExpression(QStringLiteral(R"(Maximum resident set size \(kbytes\): (\d+))")).match(text);
    measured.seconds = wall.captured(1).toDouble() * 3600 + wall.captured(2).toDouble() * 60 + wall.captured(3).toDouble();
    measured.peakMiB = peak.captured(1).toDouble() / 1024;
    measured.ok = process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    return measured;
}

quint16 FreePort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

// A Radicale of its own, with a plain htpasswd file and its requests logged.
class Radicale
{
public:
    bool Start()
    {
        m_port = FreePort();
        QFile users(m_dir.filePath(QStringLiteral("users")));
        if (!users.open(QIODevice::WriteOnly))
            return false;
        users.write((kUser + u':' + kPassword + u'\n').toUtf8());
        users.close();
        QFile config(m_dir.filePath(QStringLiteral("config")));
        if (!config.open(QIODevice::WriteOnly))
            return false;
        config.write(QStringLiteral("[server]\nhosts = 127.0.0.1:%1\n[auth]\ntype = htpasswd\nhtpasswd_filename = %2\n"
                                    "htpasswd_encryption = plain\n[storage]\nfilesystem_folder = %3\n"
                                    "[logging]\nlevel = info\n")
                         .arg(m_port)
                         .arg(users.fileName(), Collections())
                         .toUtf8());
        config.close();
        m_process.setStandardOutputFile(m_dir.filePath(QStringLiteral("log")));
        m_process.setStandardErrorFile(m_dir.filePath(QStringLiteral("log")), QIODevice::Append);
        m_process.start(QStringLiteral("radicale"), {QStringLiteral("--config"), config.fileName()});
        for (int tries = 0; tries < 100; ++tries) {
            QTcpSocket socket;
            socket.connectToHost(QHostAddress::LocalHost, m_port);
            if (socket.waitForConnected(100))
                return true;
            QThread::msleep(100);
        }
        return false;
    }
    ~Radicale()
    {
        m_process.terminate();
        m_process.waitForFinished(5000);
    }

    QString Url(const QString &path = QStringLiteral("/")) const
    {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(m_port).arg(path);
    }
    QString Collections() const { return m_dir.filePath(QStringLiteral("collections")); }
    QString BookFolder(const QString &name) const
    {
        return Collections() + QStringLiteral("/collection-root/") + kUser + u'/' + name;
    }

    bool MakeBook(const QString &name)
    {
        QNetworkAccessManager network;
        QNetworkRequest request(QUrl(Url(u'/' + kUser + u'/' + name + u'/')));
        request.setRawHeader("Authorization", "Basic " + (kUser + u':' + kPassword).toUtf8().toBase64());
        request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("application/xml"));
        const QByteArray body = "<?xml version=\"1.0\"?><D:mkcol xmlns:D=\"DAV:\" "
                                "xmlns:C=\"urn:ietf:params:xml:ns:carddav\"><D:set><D:prop><D:resourcetype>"
                                "<D:collection/><C:addressbook/></D:resourcetype><D:displayname>"
                                + name.toUtf8() + "</D:displayname></D:prop></D:set></D:mkcol>";
        std::unique_ptr<QNetworkReply> reply(network.sendCustomRequest(request, "MKCOL", body));
        QEventLoop loop;
        QObject::connect(reply.get(), &QNetworkReply::finished, &loop, &QEventLoop::quit);
        loop.exec();
        return reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt() == 201;
    }

    // Requests Radicale has logged so far.
    int Requests() const
    {
        QFile log(m_dir.filePath(QStringLiteral("log")));
        if (!log.open(QIODevice::ReadOnly))
            return -1;
        return int(log.readAll().count(" request for "));
    }

private:
    QTemporaryDir m_dir;
    QProcess m_process;
    quint16 m_port = 0;
};

// Copies the cards of an address book as Radicale keeps them into a folder.
int CopyCards(const QString &from, const QString &to)
{
    QDir().mkpath(to);
    int copied = 0;
    for (const QString &name : QDir(from).entryList({QStringLiteral("*.vcf")}, QDir::Files))
        copied += QFile::copy(from + u'/' + name, to + u'/' + name);
    return copied;
}

bool WriteText(const QString &path, const QString &text)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(text.toUtf8()) >= 0;
}

struct Run
{
    QTemporaryDir dir;
    Radicale server;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    GoalTable table;

    Run()
    {
        environment.insert(QStringLiteral("HOME"), dir.filePath(QStringLiteral("home")));
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.filePath(QStringLiteral("config")));
        environment.insert(QStringLiteral("XDG_DATA_HOME"), dir.filePath(QStringLiteral("data")));
        environment.insert(QStringLiteral("XDG_CACHE_HOME"), dir.filePath(QStringLiteral("cache")));
        // No keyring: the password goes to the settings file of this run.
        environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), QStringLiteral("unix:path=/nonexistent/bench-bus"));
        environment.insert(QStringLiteral("CARDOLIN_CARDDAV_PASSWORD"), kPassword);
        QDir().mkpath(dir.filePath(QStringLiteral("home")));
    }

    Measured Cli(const QStringList &arguments)
    {
        return Timed(QStringLiteral(QUILLET_CLI), arguments, environment);
    }

    Measured Vdirsyncer(const QStringList &arguments)
    {
        return Timed(QStringLiteral("vdirsyncer"),
                     QStringList{QStringLiteral("-c"), dir.filePath(QStringLiteral("vdirsyncer.conf"))} + arguments,
                     environment);
    }

    bool Report(const QString &what, const Measured &measured)
    {
        if (!measured.ok)
            std::fprintf(stderr, "%s failed:\n%s\n", qPrintable(what), qPrintable(measured.output.right(2000)));
        return measured.ok;
    }
};

int Bench(int count)
{
    Run run;
    if (!run.server.Start() || !run.server.MakeBook(QStringLiteral("cardolin"))
        || !run.server.MakeBook(QStringLiteral("vdirsyncer"))) {
        std::fprintf(stderr, "Radicale did not start.\n");
        return 2;
    }
    const QString up = run.dir.filePath(QStringLiteral("up.qcb")), down = run.dir.filePath(QStringLiteral("down.qcb"));
    {
        TQorContacts book;
        ContactGenerator generator;
        generator.SetDuplicateShare(0);
        generator.AddContacts(book, count);
        if (book.SaveToXMLFile(up) != count) {
            std::fprintf(stderr, "Cannot write the book.\n");
            return 2;
        }
    }
    const Measured added = run.Cli({QStringLiteral("carddav"), QStringLiteral("accounts"), QStringLiteral("add"),
                                    QStringLiteral("bench"), QStringLiteral("--url"), run.server.Url(),
                                    QStringLiteral("--user"), kUser, QStringLiteral("--addressbook"),
                                    QStringLiteral("cardolin")});
    if (!run.Report(QStringLiteral("carddav accounts add"), added))
        return 2;
    const QStringList sync{QStringLiteral("carddav"), QStringLiteral("sync")};
    const QStringList account{QStringLiteral("--account"), QStringLiteral("bench"), QStringLiteral("--yes")};
    const Measured first = run.Cli(sync + QStringList{up} + account);
    const Measured fromServer = run.Cli(sync + QStringList{down} + account);
    const int before = run.server.Requests();
    const Measured unchanged = run.Cli(sync + QStringList{up} + account);
    const int requests = run.server.Requests() - before;
    if (!run.Report(QStringLiteral("first sync"), first) || !run.Report(QStringLiteral("sync into an empty book"), fromServer)
        || !run.Report(QStringLiteral("no-change sync"), unchanged))
        return 2;

    // The yardstick: the same cards from a folder into an empty address book.
    const QString folder = run.dir.filePath(QStringLiteral("vdir"));
    const int cards = CopyCards(run.server.BookFolder(QStringLiteral("cardolin")), folder);
    WriteText(run.dir.filePath(QStringLiteral("vdirsyncer.conf")),
              QStringLiteral("[general]\nstatus_path = \"%1\"\n\n[pair cards]\na = \"folder\"\nb = \"server\"\n"
                             "collections = null\n\n[storage folder]\ntype = \"filesystem\"\npath = \"%2\"\n"
                             "fileext = \".vcf\"\n\n[storage server]\ntype = \"carddav\"\nurl = \"%3\"\n"
                             "username = \"%4\"\npassword = \"%5\"\n")
                  .arg(run.dir.filePath(QStringLiteral("vdirsyncer-status")), folder,
                       run.server.Url(QStringLiteral("/ann/vdirsyncer/")), kUser, kPassword));
    run.Vdirsyncer({QStringLiteral("discover")});
    const Measured vdirFirst = run.Vdirsyncer({QStringLiteral("sync")});
    const Measured vdirUnchanged = run.Vdirsyncer({QStringLiteral("sync")});
    const bool yardstick = run.Report(QStringLiteral("vdirsyncer sync"), vdirFirst)
                           && run.Report(QStringLiteral("vdirsyncer no-change sync"), vdirUnchanged);

    run.table.Title(QStringLiteral("CardDAV sync of %1 contacts with Radicale (%2 cards on the server), load %3")
                        .arg(count)
                        .arg(cards)
                        .arg(LoadAverage()));
    const QString vdirsyncer = QStringLiteral("vdirsyncer");
    run.table.Row(QStringLiteral("first sync, book to server"), first.seconds, "s",
                  yardstick ? vdirFirst.seconds : 0, yardstick ? vdirFirst.seconds : 0, vdirsyncer);
    run.table.Row(QStringLiteral("  peak memory"), first.peakMiB, "MiB");
    run.table.Row(QStringLiteral("first sync, server to empty book"), fromServer.seconds, "s",
                  0, yardstick ? vdirFirst.seconds : 0, vdirsyncer);
    run.table.Row(QStringLiteral("  peak memory"), fromServer.peakMiB, "MiB");
    run.table.Row(QStringLiteral("no-change sync"), unchanged.seconds, "s",
                  yardstick ? qMin(kNoChangeGoalSeconds, vdirUnchanged.seconds / 2) : kNoChangeGoalSeconds,
                  yardstick ? vdirUnchanged.seconds : 0, vdirsyncer);
    run.table.Row(QStringLiteral("  peak memory"), unchanged.peakMiB, "MiB");
    run.table.Row(QStringLiteral("  requests"), requests, "", kNoChangeRequestGoal);
    run.table.Row(QStringLiteral("vdirsyncer first sync"), vdirFirst.seconds, "s");
    run.table.Row(QStringLiteral("  peak memory"), vdirFirst.peakMiB, "MiB");
    run.table.Row(QStringLiteral("vdirsyncer no-change sync"), vdirUnchanged.seconds, "s");
    run.table.Row(QStringLiteral("  peak memory"), vdirUnchanged.peakMiB, "MiB");
    return run.table.Finish();
}

} // namespace
} // namespace cardolin::bench

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    int count = 5000;
    if (const qsizetype at = arguments.indexOf(QStringLiteral("--count")); at > 0 && at + 1 < arguments.size())
        count = arguments[at + 1].toInt();
    return cardolin::bench::Bench(qMax(1, count));
}
