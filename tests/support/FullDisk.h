#pragma once

#include <QDir>
#include <QFile>
#include <sched.h>
#include <sys/mount.h>

// A small tmpfs over a test's folder, to be filled to the last byte as a full disk is. It lives in
// a mount namespace of the test's own (superuser only; enterPrivateMounts() from main(), before
// any thread starts), so nothing outside the test sees it.
class FullDisk {
public:
    static bool enterPrivateMounts() {
        static const bool entered =
            unshare(CLONE_NEWNS) == 0 && mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
        return entered;
    }
    // Mounts it over the folder and enters the folder again (the current directory would stay below).
    explicit FullDisk(const QString& folder) : m_folder(QFile::encodeName(folder)) {
        m_mounted =
            enterPrivateMounts() && mount("tmpfs", m_folder.constData(), "tmpfs", 0, "size=256k") == 0;
        QDir::setCurrent(folder);
    }
    ~FullDisk() {
        QDir::setCurrent(QDir::rootPath());
        if (m_mounted)
            umount2(m_folder.constData(), MNT_DETACH);
    }
    bool isMounted() const { return m_mounted; }
    // Takes every byte left, into the file "filler"; free() gives them back.
    void fill() {
        QFile filler(QFile::decodeName(m_folder) + "/filler");
        static const QByteArray block(4096, 'f');
        if (filler.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
            while (filler.write(block) > 0 || filler.write("f", 1) == 1) {
            }
    }
    void free() { QFile::remove(QFile::decodeName(m_folder) + "/filler"); }

private:
    QByteArray m_folder;
    bool m_mounted = false;
};
