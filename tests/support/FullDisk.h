#pragma once

#include <QDir>
#include <QFile>
#include <QString>
#include <sched.h>
#include <sys/mount.h>

// A small tmpfs over a test's folder that can be filled to the last byte, as a full disk is. It
// lives in a mount namespace of the test's own, so nothing outside the test sees it; that takes
// the superuser (tests skip otherwise) and must be entered before any thread starts.
class FullDisk {
public:
    // From main(), first thing.
    static bool enterPrivateMounts() {
        return permitted() = unshare(CLONE_NEWNS) == 0 &&
                             mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
    }
    static bool available() { return permitted(); }

    // Mounts the tmpfs over the folder and enters it again (the current directory would stay on
    // the folder underneath).
    explicit FullDisk(const QString& folder, int kilobytes = 256) : m_folder(folder) {
        const QByteArray options = "size=" + QByteArray::number(kilobytes) + "k";
        m_mounted = available() && mount("tmpfs", QFile::encodeName(folder).constData(), "tmpfs", 0,
                                         options.constData()) == 0;
        QDir::setCurrent(folder);
    }
    ~FullDisk() {
        QDir::setCurrent(QDir::rootPath());
        if (m_mounted)
            umount2(QFile::encodeName(m_folder).constData(), MNT_DETACH);
    }
    bool isMounted() const { return m_mounted; }

    // Takes every byte left; free() gives them back.
    void fill() {
        QFile filler(fillerPath());
        if (!filler.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
            return;
        const QByteArray block(4096, 'f');
        while (filler.write(block) == block.size()) {
        }
        // The last page may be partly free.
        while (filler.write("f", 1) == 1) {
        }
    }
    void free() { QFile::remove(fillerPath()); }
    static QString fillerName() { return QStringLiteral("filler"); }

private:
    static bool& permitted() {
        static bool yes = false;
        return yes;
    }
    QString fillerPath() const { return m_folder + QLatin1Char('/') + fillerName(); }

    QString m_folder;
    bool m_mounted = false;
};
