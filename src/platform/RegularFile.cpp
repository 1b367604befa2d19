#include "platform/RegularFile.h"

#include <QFile>

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace cardolin::platform {

namespace {

// Closes the descriptor on every way out.
class Descriptor
{
public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;
    int Get() const { return m_fd; }

private:
    int m_fd;
};

// Opened without blocking: opening a FIFO for reading would otherwise wait
// for a writer forever. The type is checked on the open descriptor, so a name
// swapped after a check cannot slip a device in.
int OpenRegular(const QString &path, qint64 &size, QString &error)
{
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        error = qt_error_string(errno);
        return -1;
    }
    struct stat info{};
    if (::fstat(fd, &info) != 0) {
        error = qt_error_string(errno);
        ::close(fd);
        return -1;
    }
    if (!S_ISREG(info.st_mode)) {
        error = S_ISDIR(info.st_mode) ? QStringLiteral("It is a folder, not a file.")
                                      : QStringLiteral("It is not a regular file.");
        ::close(fd);
        return -1;
    }
    size = qint64(info.st_size);
    return fd;
}

// Reads up to most bytes; a file that grows while it is read stops at most.
bool ReadUpTo(int fd, qint64 expected, qint64 most, QByteArray &bytes, QString &error)
{
    bytes.clear();
    // Room for the end to show without growing; it grows only for a file that
    // grows while it is read.
    bytes.resize(qsizetype(qMin(qMax(expected + 1, qint64(4096)), most)));
    qint64 filled = 0;
    for (;;) {
        if (filled == bytes.size()) {
            if (filled == most)
                break;
            bytes.resize(qsizetype(qMin(most, filled * 2)));
        }
        const ssize_t got = ::read(fd, bytes.data() + filled, size_t(bytes.size() - filled));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            error = qt_error_string(errno);
            bytes.clear();
            return false;
        }
        if (got == 0)
            break;
        filled += got;
    }
    bytes.truncate(qsizetype(filled));
    return true;
}

} // namespace

FileRead ReadRegularFile(const QString &path, qint64 maxBytes, QByteArray &bytes, QString &error)
{
    bytes.clear();
    qint64 size = 0;
    const Descriptor fd(OpenRegular(path, size, error));
    if (fd.Get() < 0)
        return FileRead::Refused;
    if (size > maxBytes)
        return FileRead::TooLarge;
    // One byte past the bound tells a file that grew beyond it.
    if (!ReadUpTo(fd.Get(), size, maxBytes + 1, bytes, error))
        return FileRead::Refused;
    if (bytes.size() > maxBytes) {
        bytes.clear();
        return FileRead::TooLarge;
    }
    return FileRead::Read;
}

bool ReadRegularFileStart(const QString &path, qint64 maxBytes, QByteArray &bytes, bool &truncated)
{
    QString error;
    qint64 size = 0;
    const Descriptor fd(OpenRegular(path, size, error));
    if (fd.Get() < 0 || !ReadUpTo(fd.Get(), qMin(size, maxBytes), maxBytes + 1, bytes, error))
        return false;
    truncated = bytes.size() > maxBytes;
    if (truncated)
        bytes.truncate(qsizetype(maxBytes));
    return true;
}

QString RegularFileProblem(const QString &path)
{
    QString error;
    qint64 size = 0;
    const Descriptor fd(OpenRegular(path, size, error));
    return fd.Get() < 0 ? error : QString();
}

bool ReadRegularFileInPieces(const QString &path, const std::function<bool(QByteArrayView)> &take)
{
    QString error;
    qint64 size = 0;
    const Descriptor fd(OpenRegular(path, size, error));
    if (fd.Get() < 0)
        return false;
    QByteArray piece(qsizetype(1) << 20, Qt::Uninitialized);
    for (;;) {
        const ssize_t got = ::read(fd.Get(), piece.data(), size_t(piece.size()));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return got == 0;
        if (!take(QByteArrayView(piece.constData(), qsizetype(got))))
            return true;
    }
}

} // namespace cardolin::platform
