#pragma once

#include "fakes/CoreApplication.h"

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QHostAddress>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <memory>

namespace cardolin::testing {

// A real CardDAV server started for a test: Radicale (with a user and a
// password, so that a wrong one is refused) or xandikos (no authentication),
// on 127.0.0.1 on a free port with its storage in a temporary folder. The
// server stops when the object goes. A machine without the program skips
// the test (see CARDOLIN_START_DAV_SERVER); one that has it but cannot start
// it fails it.
class RunningDavServer
{
public:
    enum class Kind { Radicale, Xandikos };

    explicit RunningDavServer(Kind kind) : m_kind(kind)
    {
        EnsureCoreApplication();
        const QString program = kind == Kind::Radicale ? QStringLiteral("radicale") : QStringLiteral("xandikos");
        m_program = QStandardPaths::findExecutable(program);
        if (m_program.isEmpty()) {
            m_problem = program + QStringLiteral(" is not installed (scripts/install-deps.sh installs it)");
            return;
        }
        if (!m_folder.isValid()) {
            m_problem = QStringLiteral("no temporary folder");
            return;
        }
        m_port = FreePort();
        if (kind == Kind::Radicale)
            StartRadicale();
        else
            StartXandikos();
    }

    ~RunningDavServer()
    {
        if (m_process.state() == QProcess::NotRunning)
            return;
        m_process.terminate();
        if (!m_process.waitForFinished(5000)) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }

    RunningDavServer(const RunningDavServer &) = delete;
    RunningDavServer &operator=(const RunningDavServer &) = delete;

    Kind ServerKind() const { return m_kind; }
    QString Name() const { return m_kind == Kind::Radicale ? QStringLiteral("Radicale") : QStringLiteral("xandikos"); }
    bool Missing() const { return m_program.isEmpty(); }
    bool Running() const { return m_running; }
    // Why the server is not running; with its own output when it said something.
    QString Problem() const { return m_problem; }

    QString BaseUrl() const { return QStringLiteral("http://127.0.0.1:%1/").arg(m_port); }
    QString PrincipalPath() const
    {
        return m_kind == Kind::Radicale ? QStringLiteral("/%1/").arg(User()) : QStringLiteral("/user/");
    }
    // The address book made at the start, empty.
    QString BookPath() const { return m_bookPath; }
    QString BookUrl() const { return BaseUrl() + m_bookPath.mid(1); }
    // Radicale checks them; xandikos takes any.
    QString User() const { return QStringLiteral("alice"); }
    QString Password() const { return QStringLiteral("wonderland-1"); }
    QString StorageFolder() const { return m_folder.filePath(QStringLiteral("storage")); }

    // Makes another empty address book under the user's home and returns its
    // URL, or an empty string when the server refused.
    QString CreateBook(const QString &name, const QString &displayName)
    {
        const QString path = HomePath() + name + u'/';
        return Mkcol(path, displayName) ? BaseUrl() + path.mid(1) : QString();
    }

private:
    QString HomePath() const
    {
        return m_kind == Kind::Radicale ? PrincipalPath() : QStringLiteral("/user/contacts/");
    }

    static int FreePort()
    {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost, 0);
        return probe.serverPort();
    }

    void StartRadicale()
    {
        const QString users = m_folder.filePath(QStringLiteral("users"));
        const QString config = m_folder.filePath(QStringLiteral("config"));
        QFile usersFile(users);
        usersFile.open(QIODevice::WriteOnly);
        usersFile.write((User() + u':' + Password() + u'\n').toUtf8());
        usersFile.close();
        QFile configFile(config);
        configFile.open(QIODevice::WriteOnly);
        configFile.write(QStringLiteral("[server]\nhosts = 127.0.0.1:%1\n"
                                        "[auth]\ntype = htpasswd\nhtpasswd_filename = %2\n"
                                        "htpasswd_encryption = plain\ndelay = 0\n"
                                        "[rights]\ntype = owner_only\n"
                                        "[storage]\nfilesystem_folder = %3\n"
                                        "[web]\ntype = none\n"
                                        "[logging]\nlevel = warning\n")
                             .arg(m_port)
                             .arg(users, StorageFolder())
                             .toUtf8());
        configFile.close();
        Start({QStringLiteral("--config"), config});
        if (m_running) {
            m_bookPath = PrincipalPath() + QStringLiteral("contacts/");
            if (!Mkcol(m_bookPath, QStringLiteral("Contacts")))
                Fail(QStringLiteral("Radicale did not make the address book"));
        }
    }

    void StartXandikos()
    {
        Start({QStringLiteral("-d"), StorageFolder(), QStringLiteral("--defaults"), QStringLiteral("-l"),
               QStringLiteral("127.0.0.1"), QStringLiteral("-p"), QString::number(m_port)});
        m_bookPath = QStringLiteral("/user/contacts/addressbook/");
    }

    void Start(const QStringList &arguments)
    {
        m_process.setProcessChannelMode(QProcess::MergedChannels);
        m_process.start(m_program, arguments);
        if (!m_process.waitForStarted(10000)) {
            Fail(QStringLiteral("could not start"));
            return;
        }
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 20000) {
            if (m_process.state() == QProcess::NotRunning) {
                Fail(QStringLiteral("stopped at once"));
                return;
            }
            if (Answers()) {
                m_running = true;
                return;
            }
            QThread::msleep(50);
        }
        Fail(QStringLiteral("did not answer within 20 seconds"));
    }

    bool Answers() const
    {
        QTcpSocket probe;
        probe.connectToHost(QHostAddress::LocalHost, quint16(m_port));
        return probe.waitForConnected(200);
    }

    void Fail(const QString &what)
    {
        m_running = false;
        m_problem = Name() + u' ' + what + QStringLiteral("; it said: ")
                    + QString::fromUtf8(m_process.readAll()).left(2000);
    }

    // An extended MKCOL, which both servers take, with the user's password.
    bool Mkcol(const QString &path, const QString &displayName)
    {
        QNetworkAccessManager network;
        QNetworkRequest request(QUrl(BaseUrl() + path.mid(1)));
        request.setRawHeader("Authorization", "Basic " + (User() + u':' + Password()).toUtf8().toBase64());
        request.setHeader(QNetworkRequest::ContentTypeHeader, QStringLiteral("application/xml; charset=utf-8"));
        const QByteArray body = "<?xml version=\"1.0\" encoding=\"utf-8\"?>"
                                "<D:mkcol xmlns:D=\"DAV:\" xmlns:C=\"urn:ietf:params:xml:ns:carddav\">"
                                "<D:set><D:prop><D:resourcetype><D:collection/><C:addressbook/></D:resourcetype>"
                                "<D:displayname>"
                                + displayName.toHtmlEscaped().toUtf8() + "</D:displayname></D:prop></D:set></D:mkcol>";
        std::unique_ptr<QNetworkReply> reply(network.sendCustomRequest(request, "MKCOL", body));
        QEventLoop loop;
        QObject::connect(reply.get(), &QNetworkReply::finished, &loop, &QEventLoop::quit);
        QTimer::singleShot(15000, &loop, &QEventLoop::quit);
        if (!reply->isFinished())
            loop.exec();
        return reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt() == 201;
    }

    Kind m_kind;
    QString m_program;
    QTemporaryDir m_folder;
    QProcess m_process;
    int m_port = 0;
    bool m_running = false;
    QString m_problem;
    QString m_bookPath;
};

} // namespace cardolin::testing

// Skips the test when the server's program is not installed, fails it when
// the program is there but the server did not come up.
#define CARDOLIN_START_DAV_SERVER(server)                                                                      \
    do {                                                                                                       \
        if ((server).Missing())                                                                                \
            GTEST_SKIP() << (server).Problem().toStdString();                                                  \
        ASSERT_TRUE((server).Running()) << (server).Problem().toStdString();                                   \
    } while (false)
