#include "platform/Drives.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <optional>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace itm {

namespace {

constexpr int kScsiCdromMajor = 11;
constexpr int kFloppyMajor = 2;

struct Mount
{
    QByteArray id;
    int major = 0;
    int minor = 0;
    QString mountPoint;
    QString source;
};

bool isOctalDigit(char c)
{
    return c >= '0' && c <= '7';
}

// One line of mountinfo: "36 35 98:0 /root /mount/point options [optional...] - fstype source superoptions".
std::optional<Mount> parseMountInfoLine(const QByteArray& line)
{
    const QList<QByteArray> fields = line.split(' ');
    const qsizetype separator = fields.indexOf(QByteArray("-"));
    if (fields.size() < 6 || separator < 6 || separator + 2 >= fields.size())
        return std::nullopt;
    const QList<QByteArray> device = fields.at(2).split(':');
    bool majorOk = false;
    bool minorOk = false;
    Mount mount;
    mount.id = fields.at(0);
    if (device.size() == 2) {
        mount.major = device.at(0).toInt(&majorOk);
        mount.minor = device.at(1).toInt(&minorOk);
    }
    if (!majorOk || !minorOk)
        return std::nullopt;
    mount.mountPoint = DecodeMountPath(fields.at(4));
    mount.source = DecodeMountPath(fields.at(separator + 2));
    return mount;
}

QByteArray readSmallFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.read(64).trimmed();
}

// The whole disk behind a block device: /sys/dev/block/MAJ:MIN leads to the
// device's folder; a partition's folder holds a "partition" file and sits
// inside its disk's folder.
QString diskFolder(const QString& sysfsRoot, const Mount& mount)
{
    const QString link = QStringLiteral("%1/dev/block/%2:%3").arg(sysfsRoot).arg(mount.major).arg(mount.minor);
    const QString device = QFileInfo(link).canonicalFilePath();
    if (device.isEmpty())
        return {};
    if (QFileInfo::exists(device + QStringLiteral("/partition")))
        return QFileInfo(device).path();
    return device;
}

// Memory sticks and card readers often call themselves fixed disks; their
// place on a USB bus gives them away.
bool isRemovableDisk(const QString& sysfsRoot, const Mount& mount)
{
    const QString disk = diskFolder(sysfsRoot, mount);
    if (disk.isEmpty())
        return false;
    if (readSmallFile(disk + QStringLiteral("/removable")) == "1")
        return true;
    const QString root = QFileInfo(sysfsRoot).canonicalFilePath();
    const QString devicePath = disk.startsWith(root) ? disk.mid(root.size()) : disk;
    return devicePath.contains(QStringLiteral("/usb"));
}

bool isOptical(const Mount& mount)
{
    return mount.major == kScsiCdromMajor || mount.source.startsWith(QStringLiteral("/dev/sr"));
}

bool isFloppy(const Mount& mount)
{
    return mount.major == kFloppyMajor || mount.source.startsWith(QStringLiteral("/dev/fd"));
}

bool isUnderMediaFolder(const QString& mountPoint)
{
    return mountPoint.startsWith(QStringLiteral("/media/")) || mountPoint.startsWith(QStringLiteral("/run/media/"));
}

} // namespace

QString Drives::volumeAt(const QString& rootPath)
{
    for (const DriveInfo& drive : scan()) {
        if (drive.rootPath == rootPath)
            return QStringLiteral("%1 %2").arg(int(drive.kind)).arg(drive.rootPath);
    }
    return {};
}

QString DecodeMountPath(const QByteArray& field)
{
    QByteArray decoded;
    decoded.reserve(field.size());
    for (qsizetype i = 0; i < field.size(); ++i) {
        if (field.at(i) == '\\' && i + 3 < field.size() && isOctalDigit(field.at(i + 1))
            && isOctalDigit(field.at(i + 2)) && isOctalDigit(field.at(i + 3))) {
            decoded += char(((field.at(i + 1) - '0') << 6) | ((field.at(i + 2) - '0') << 3) | (field.at(i + 3) - '0'));
            i += 3;
        } else {
            decoded += field.at(i);
        }
    }
    return QFile::decodeName(decoded);
}

LinuxDrives::LinuxDrives(QString mountInfoPath, QString sysfsRoot)
    : m_mountInfoPath(std::move(mountInfoPath))
    , m_sysfsRoot(std::move(sysfsRoot))
{
}

QList<LinuxDrives::ListedMount> LinuxDrives::listedMounts()
{
    QFile mountInfo(m_mountInfoPath);
    if (!mountInfo.open(QIODevice::ReadOnly))
        return {};
    // procfs files report a size of 0, so QFile::atEnd() is true at once:
    // read until the read itself ends.
    const QByteArray table = mountInfo.readAll();
    QList<ListedMount> listed;
    for (const QByteArray& line : table.split('\n')) {
        const auto mount = parseMountInfoLine(line);
        if (!mount)
            continue;
        DriveKind kind = DriveKind::Removable;
        if (isOptical(*mount))
            kind = DriveKind::Optical;
        else if (isFloppy(*mount))
            kind = DriveKind::Floppy;
        const bool removable = kind != DriveKind::Removable || isUnderMediaFolder(mount->mountPoint)
            || isRemovableDisk(m_sysfsRoot, *mount);
        if (!removable)
            continue;
        const QString rootPath = mount->mountPoint.endsWith(u'/') ? mount->mountPoint : mount->mountPoint + u'/';
        // A later mount on the same point hides the earlier one.
        listed.removeIf([&](const ListedMount& earlier) { return earlier.drive.rootPath == rootPath; });
        const QString volume
            = QStringLiteral("%1 %2:%3").arg(QString::fromLatin1(mount->id)).arg(mount->major).arg(mount->minor);
        listed.append({ { rootPath, kind }, volume });
    }
    return listed;
}

QList<DriveInfo> LinuxDrives::scan()
{
    QList<DriveInfo> drives;
    for (const ListedMount& mount : listedMounts())
        drives.append(mount.drive);
    return drives;
}

QString LinuxDrives::volumeAt(const QString& rootPath)
{
    for (const ListedMount& mount : listedMounts()) {
        if (mount.drive.rootPath == rootPath)
            return mount.volume;
    }
    return {};
}

#ifdef Q_OS_WIN
QList<DriveInfo> WindowsDrives::scan()
{
    QList<DriveInfo> drives;
    for (char16_t letter = u'A'; letter <= u'Z'; ++letter) {
        const QString root = QString(QChar(letter)) + QStringLiteral(":\\");
        const UINT type = GetDriveTypeW(reinterpret_cast<LPCWSTR>(root.utf16()));
        if (type == DRIVE_REMOVABLE)
            drives.append({ root, letter == u'A' ? DriveKind::Floppy : DriveKind::Removable });
        else if (type == DRIVE_CDROM)
            drives.append({ root, DriveKind::Optical });
    }
    return drives;
}
#endif

std::unique_ptr<Drives> CreatePlatformDrives()
{
#ifdef Q_OS_WIN
    return std::make_unique<WindowsDrives>();
#else
    return std::make_unique<LinuxDrives>();
#endif
}

} // namespace itm
