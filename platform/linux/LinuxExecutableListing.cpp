#include "platform/linux/LinuxExecutableListing.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QtDebug>

#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

std::unique_ptr<ExecutableListing> ExecutableListing::create() {
    return std::make_unique<LinuxExecutableListing>();
}

static const char kDefaultRoots[] = "/usr/bin, /usr/local/bin, /opt, ~/.local/bin";

QStringList LinuxExecutableListing::defaultRoots() {
    return QString::fromLatin1(kDefaultRoots).split(QLatin1Char(','));
}

// The platform layer does not link the application library, so it reads its one setting itself,
// from the same "services.ini" in the working directory.
static QStringList configuredRoots() {
    const QString path = QDir::currentPath() + QStringLiteral("/services.ini");
    QStringList roots = LinuxExecutableListing::defaultRoots();
    if (QFile::exists(path)) {
        QSettings ini(path, QSettings::IniFormat);
        ini.setIniCodec("UTF-8");
        const QVariant value = ini.value(QStringLiteral("scanner/roots"));
        if (value.isValid())
            roots = value.type() == QVariant::StringList ? value.toStringList()
                                                         : value.toString().split(QLatin1Char(','));
    }
    return roots;
}

LinuxExecutableListing::LinuxExecutableListing() : LinuxExecutableListing(configuredRoots()) {}

LinuxExecutableListing::LinuxExecutableListing(const QStringList& roots) {
    for (QString root : roots) {
        root = root.trimmed();
        if (root == QLatin1String("~") || root.startsWith(QLatin1String("~/")))
            root = QDir::homePath() + root.mid(1);
        if (!root.isEmpty())
            m_roots << root;
    }
}

namespace {

bool hasExeSuffix(const char* name) {
    const size_t n = std::strlen(name);
    return n >= 4 && strcasecmp(name + n - 4, ".exe") == 0;
}

bool isListed(const struct stat& st, const char* name) {
    return S_ISREG(st.st_mode) && ((st.st_mode & (S_IXUSR | S_IXGRP | S_IXOTH)) || hasExeSuffix(name));
}

// Depth-first walk of one folder, given as an open descriptor; path is its full path.
void walk(int dirFd, QByteArray& path, FILE* out) {
    DIR* dir = fdopendir(dirFd);
    if (!dir) {
        close(dirFd);
        return;
    }
    while (struct dirent* entry = readdir(dir)) {
        const char* name = entry->d_name;
        if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0')))
            continue;
        unsigned char type = entry->d_type;
        struct stat st;
        if (type == DT_UNKNOWN) {
            if (fstatat(dirfd(dir), name, &st, AT_SYMLINK_NOFOLLOW) != 0)
                continue;
            type = S_ISDIR(st.st_mode)   ? DT_DIR
                   : S_ISLNK(st.st_mode) ? DT_LNK
                   : S_ISREG(st.st_mode) ? DT_REG
                                         : 0;
        }
        const int length = path.size();
        if (type == DT_DIR) {
            const int child = openat(dirfd(dir), name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
            if (child < 0)
                continue; // unreadable: skipped
            path.append('/').append(name);
            walk(child, path, out);
            path.truncate(length);
        } else if (type == DT_REG || type == DT_LNK) {
            // A link is listed when it leads to a listed file; it is never followed into a folder.
            const int flags = type == DT_REG ? AT_SYMLINK_NOFOLLOW : 0;
            if (fstatat(dirfd(dir), name, &st, flags) != 0 || !isListed(st, name))
                continue;
            std::fwrite(path.constData(), 1, static_cast<size_t>(path.size()), out);
            std::fputc('/', out);
            std::fputs(name, out);
            std::fputc('\n', out);
        }
    }
    closedir(dir);
}

} // namespace

bool LinuxExecutableListing::writeList(const QString& listPath) {
    FILE* out = std::fopen(QFile::encodeName(listPath).constData(), "we");
    if (!out)
        return false;
    for (const QString& root : m_roots) {
        QByteArray path = QFile::encodeName(QDir::cleanPath(root));
        const int fd = open(path.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0)
            continue; // a root that does not exist lists nothing
        if (path == "/")
            path.clear();
        walk(fd, path, out);
    }
    const bool written = std::ferror(out) == 0;
    return std::fclose(out) == 0 && written;
}
