#pragma once

#include <QList>
#include <QString>
#include <memory>

namespace itm {

// Kind of a drive that can receive the declaration file; it chooses the icon.
enum class DriveKind
{
    Floppy,
    Optical,
    Removable
};

struct DriveInfo
{
    // Where the declaration file goes, joined directly with its name: a mount
    // point followed by "/" on Linux ("/media/user/STICK/"), "E:\" on Windows.
    QString rootPath;
    DriveKind kind = DriveKind::Removable;

    friend bool operator==(const DriveInfo&, const DriveInfo&) = default;
};

// The removable and optical drives of the machine. scan() is polled every
// half second, so it reads only the system's own tables and never touches a
// medium.
class Drives
{
public:
    virtual ~Drives() = default;
    virtual QList<DriveInfo> scan() = 0;
    // Names the volume that scan() now lists at rootPath, so that a caller can
    // tell it is still the one listed earlier; empty when none is listed there
    // (the medium was pulled out, and an emptied mount point is only a folder
    // of the computer's own disk). This one tells volumes apart by root and
    // kind only.
    virtual QString volumeAt(const QString& rootPath);
};

// Mounted file systems whose block device is an optical drive (/dev/sr*,
// major 11) or removable (the disk's sysfs "removable" flag is 1, or the disk
// sits on a USB bus), plus every file system mounted under /media/ or
// /run/media/, where desktops mount removable media. Listed in mount-table
// order, each mount point once. Kind: optical for sr*, floppy for /dev/fd*,
// removable otherwise. The mount table and the sysfs root are parameters so
// that tests can give fake ones.
class LinuxDrives : public Drives
{
public:
    explicit LinuxDrives(
        QString mountInfoPath = QStringLiteral("/proc/self/mountinfo"), QString sysfsRoot = QStringLiteral("/sys"));
    QList<DriveInfo> scan() override;
    // The mount's id and device number: another medium mounted on the same
    // point is another volume.
    QString volumeAt(const QString& rootPath) override;

private:
    struct ListedMount
    {
        DriveInfo drive;
        QString volume;
    };
    QList<ListedMount> listedMounts();

    QString m_mountInfoPath;
    QString m_sysfsRoot;
};

#ifdef Q_OS_WIN
// Drive letters A: to Z: whose type is removable or CD-ROM; a removable A: is
// the floppy drive.
class WindowsDrives : public Drives
{
public:
    QList<DriveInfo> scan() override;
};
#endif

// The implementation for the system the program runs on.
std::unique_ptr<Drives> CreatePlatformDrives();

// Decodes the octal escapes (\040 for a blank, \011, \012, \134) with which
// the kernel writes paths into its mount tables.
QString DecodeMountPath(const QByteArray& field);

} // namespace itm
