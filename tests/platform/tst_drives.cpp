#include "platform/Drives.h"
#include "support/FakeDrives.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

using namespace itm;

Q_DECLARE_METATYPE(itm::DriveKind)

namespace {

// The parts of a sysfs tree the scan reads: /sys/dev/block/MAJ:MIN links into
// /sys/devices, a partition folder holding "partition" inside its disk's
// folder, and the disk's "removable" flag.
class FakeSysfs
{
public:
    explicit FakeSysfs(const QString& root)
        : m_root(root)
    {
        QDir().mkpath(m_root + QStringLiteral("/dev/block"));
    }

    const QString& root() const { return m_root; }

    void addDisk(const QString& devicePath, const QString& majorMinor, bool removable)
    {
        const QString folder = m_root + QStringLiteral("/devices/") + devicePath;
        QDir().mkpath(folder);
        write(folder + QStringLiteral("/removable"), removable ? "1\n" : "0\n");
        QFile::link(folder, m_root + QStringLiteral("/dev/block/") + majorMinor);
    }

    void addPartition(const QString& diskPath, const QString& name, const QString& majorMinor)
    {
        const QString folder = m_root + QStringLiteral("/devices/") + diskPath + u'/' + name;
        QDir().mkpath(folder);
        write(folder + QStringLiteral("/partition"), "1\n");
        QFile::link(folder, m_root + QStringLiteral("/dev/block/") + majorMinor);
    }

private:
    static void write(const QString& path, const QByteArray& content)
    {
        QFile file(path);
        if (file.open(QIODevice::WriteOnly))
            file.write(content);
    }

    QString m_root;
};

QByteArray mountLine(int id, const char* majorMinor, const char* mountPoint, const char* type, const char* source)
{
    return QByteArray::number(id) + " 1 " + majorMinor + " / " + mountPoint + " rw,relatime shared:1 - " + type + ' '
        + source + " rw\n";
}

} // namespace

class TestDrives : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<FakeSysfs> m_sysfs;
    QString m_mountInfo;

    const QString usbDisk
        = QStringLiteral("pci0000:00/0000:00:14.0/usb1/1-2/1-2:1.0/host6/target6:0:0/6:0:0:0/block/sdb");
    const QString sataDisk = QStringLiteral("pci0000:00/0000:00:1f.2/ata1/host0/target0:0:0/0:0:0:0/block/sda");
    const QString cardReader = QStringLiteral("pci0000:00/0000:00:1c.0/0000:02:00.0/mmc_host/mmc0/mmc0:0001/block/sdc");
    const QString opticalDrive = QStringLiteral("pci0000:00/0000:00:1f.2/ata2/host1/target1:0:0/1:0:0:0/block/sr0");
    const QString virtioDisk = QStringLiteral("pci0000:00/0000:00:02.0/virtio1/block/vda");

    QList<DriveInfo> scanWith(const QByteArray& mountInfo)
    {
        QFile file(m_mountInfo);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return {};
        file.write(mountInfo);
        file.close();
        return LinuxDrives(m_mountInfo, m_sysfs->root()).scan();
    }

private Q_SLOTS:
    void initTestCase()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_sysfs = std::make_unique<FakeSysfs>(m_dir->path() + QStringLiteral("/sys"));
        m_mountInfo = m_dir->path() + QStringLiteral("/mountinfo");
        // A memory stick that calls itself a fixed disk, on a USB bus.
        m_sysfs->addDisk(usbDisk, QStringLiteral("8:16"), false);
        m_sysfs->addPartition(usbDisk, QStringLiteral("sdb1"), QStringLiteral("8:17"));
        m_sysfs->addDisk(sataDisk, QStringLiteral("8:0"), false);
        m_sysfs->addPartition(sataDisk, QStringLiteral("sda1"), QStringLiteral("8:1"));
        m_sysfs->addPartition(sataDisk, QStringLiteral("sda2"), QStringLiteral("8:2"));
        // A card reader whose medium has no partition table.
        m_sysfs->addDisk(cardReader, QStringLiteral("8:32"), true);
        m_sysfs->addDisk(opticalDrive, QStringLiteral("11:0"), true);
        m_sysfs->addDisk(virtioDisk, QStringLiteral("254:0"), false);
        m_sysfs->addPartition(virtioDisk, QStringLiteral("vda1"), QStringLiteral("254:1"));
    }

    void classification_data()
    {
        QTest::addColumn<QByteArray>("mountInfo");
        QTest::addColumn<QString>("rootPath"); // empty: not listed
        QTest::addColumn<DriveKind>("kind");
        QTest::newRow("system disk") << mountLine(20, "254:1", "/", "ext4", "/dev/vda1") << QString()
                                     << DriveKind::Removable;
        QTest::newRow("fixed SATA partition")
            << mountLine(21, "8:1", "/home", "ext4", "/dev/sda1") << QString() << DriveKind::Removable;
        QTest::newRow("USB stick partition anywhere")
            << mountLine(22, "8:17", "/mnt/stick", "vfat", "/dev/sdb1") << "/mnt/stick/" << DriveKind::Removable;
        QTest::newRow("removable flag on the whole disk")
            << mountLine(23, "8:32", "/mnt/card", "vfat", "/dev/sdc") << "/mnt/card/" << DriveKind::Removable;
        QTest::newRow("optical by device name")
            << mountLine(24, "11:0", "/mnt/cd", "iso9660", "/dev/sr0") << "/mnt/cd/" << DriveKind::Optical;
        QTest::newRow("optical by major number")
            << mountLine(25, "11:1", "/mnt/dvd", "udf", "/dev/cdrom1") << "/mnt/dvd/" << DriveKind::Optical;
        QTest::newRow("floppy") << mountLine(26, "2:0", "/mnt/floppy", "vfat", "/dev/fd0") << "/mnt/floppy/"
                                << DriveKind::Floppy;
        QTest::newRow("fixed partition under /media")
            << mountLine(27, "8:2", "/media/data", "ext4", "/dev/sda2") << "/media/data/" << DriveKind::Removable;
        QTest::newRow("tmpfs under /run/media") << mountLine(28, "0:50", "/run/media/ana/X", "tmpfs", "tmpfs")
                                                << "/run/media/ana/X/" << DriveKind::Removable;
        QTest::newRow("optical under /media")
            << mountLine(29, "11:0", "/media/ana/CD", "iso9660", "/dev/sr0") << "/media/ana/CD/" << DriveKind::Optical;
        QTest::newRow("/media itself is no medium")
            << mountLine(30, "0:51", "/media", "tmpfs", "tmpfs") << QString() << DriveKind::Removable;
        QTest::newRow("/mediaX is not /media/")
            << mountLine(31, "0:52", "/mediaX/a", "tmpfs", "tmpfs") << QString() << DriveKind::Removable;
        QTest::newRow("virtual file system")
            << mountLine(32, "0:22", "/sys", "sysfs", "sysfs") << QString() << DriveKind::Removable;
        QTest::newRow("blank in the mount point") << mountLine(33, "8:17", "/media/ana/MY\\040USB", "vfat", "/dev/sdb1")
                                                  << "/media/ana/MY USB/" << DriveKind::Removable;
        QTest::newRow("backslash and tab") << mountLine(34, "8:17", "/mnt/a\\134b\\011c", "vfat", "/dev/sdb1")
                                           << "/mnt/a\\b\tc/" << DriveKind::Removable;
        QTest::newRow("optional fields before the separator")
            << QByteArray("35 1 8:17 / /mnt/s rw shared:5 master:2 propagate_from:1 - vfat /dev/sdb1 rw\n") << "/mnt/s/"
            << DriveKind::Removable;
        QTest::newRow("no optional field")
            << QByteArray("36 1 11:0 / /mnt/c ro - iso9660 /dev/sr0 ro\n") << "/mnt/c/" << DriveKind::Optical;
    }
    void classification()
    {
        QFETCH(QByteArray, mountInfo);
        QFETCH(QString, rootPath);
        QFETCH(DriveKind, kind);
        const QList<DriveInfo> drives = scanWith(mountInfo);
        if (rootPath.isEmpty()) {
            QCOMPARE(drives.size(), 0);
        } else {
            QCOMPARE(drives.size(), 1);
            QCOMPARE(drives.at(0).rootPath, rootPath);
            QCOMPARE(drives.at(0).kind, kind);
        }
    }

    void aWholeMountTableInItsOrder()
    {
        const QByteArray table = mountLine(20, "254:1", "/", "ext4", "/dev/vda1")
            + mountLine(21, "0:22", "/sys", "sysfs", "sysfs")
            + mountLine(22, "11:0", "/media/ana/CD", "iso9660", "/dev/sr0")
            + mountLine(23, "8:1", "/home", "ext4", "/dev/sda1")
            + mountLine(24, "8:17", "/media/ana/STICK", "vfat", "/dev/sdb1")
            + mountLine(25, "2:0", "/mnt/floppy", "vfat", "/dev/fd0");
        const QList<DriveInfo> expected = {
            { QStringLiteral("/media/ana/CD/"), DriveKind::Optical },
            { QStringLiteral("/media/ana/STICK/"), DriveKind::Removable },
            { QStringLiteral("/mnt/floppy/"), DriveKind::Floppy },
        };
        QCOMPARE(scanWith(table), expected);
    }

    void aMountPointIsListedOnce()
    {
        const QByteArray table = mountLine(22, "8:17", "/media/ana/STICK", "vfat", "/dev/sdb1")
            + mountLine(23, "8:32", "/mnt/card", "vfat", "/dev/sdc")
            + mountLine(24, "11:0", "/media/ana/STICK", "iso9660", "/dev/sr0");
        const QList<DriveInfo> expected = {
            { QStringLiteral("/mnt/card/"), DriveKind::Removable },
            { QStringLiteral("/media/ana/STICK/"), DriveKind::Optical },
        };
        QCOMPARE(scanWith(table), expected);
    }

    void malformedLinesAreSkipped_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::newRow("empty") << QByteArray("\n");
        QTest::newRow("no separator") << QByteArray("22 1 8:17 / /mnt/s rw vfat /dev/sdb1 rw\n");
        QTest::newRow("separator too early") << QByteArray("22 1 8:17 / - vfat /dev/sdb1 rw\n");
        QTest::newRow("nothing after the separator") << QByteArray("22 1 8:17 / /mnt/s rw -\n");
        QTest::newRow("device not a number") << QByteArray("22 1 x:y / /mnt/s rw - vfat /dev/sdb1 rw\n");
        QTest::newRow("device without minor") << QByteArray("22 1 8 / /mnt/s rw - vfat /dev/sdb1 rw\n");
    }
    void malformedLinesAreSkipped()
    {
        QFETCH(QByteArray, line);
        const QByteArray good = mountLine(40, "11:0", "/mnt/cd", "iso9660", "/dev/sr0");
        const QList<DriveInfo> expected = { { QStringLiteral("/mnt/cd/"), DriveKind::Optical } };
        QCOMPARE(scanWith(line + good), expected);
    }

    void noMountTableNoDrives()
    {
        QVERIFY(LinuxDrives(m_dir->path() + QStringLiteral("/missing"), m_sysfs->root()).scan().isEmpty());
    }

    void theKernelsOwnTableIsRead()
    {
        // procfs reports its files as empty; the scan must read them anyway.
        // Mark the device of "/" removable in the fake sysfs and look for "/".
        QFile table(QStringLiteral("/proc/self/mountinfo"));
        if (!table.open(QIODevice::ReadOnly))
            QSKIP("no /proc/self/mountinfo on this system");
        QByteArray rootDevice;
        for (const QByteArray& line : table.readAll().split('\n')) {
            const QList<QByteArray> fields = line.split(' ');
            if (fields.size() > 4 && fields.at(4) == "/")
                rootDevice = fields.at(2);
        }
        QVERIFY(!rootDevice.isEmpty());
        FakeSysfs sysfs(m_dir->path() + QStringLiteral("/sys-real"));
        sysfs.addDisk(QStringLiteral("platform/root-disk/block/rd"), QString::fromLatin1(rootDevice), true);
        const QList<DriveInfo> drives = LinuxDrives(QStringLiteral("/proc/self/mountinfo"), sysfs.root()).scan();
        QVERIFY(drives.contains(DriveInfo { QStringLiteral("/"), DriveKind::Removable }));
    }

    // A medium pulled out leaves no volume at its mount point; another one
    // mounted there in its place is another volume.
    void theVolumeAtAMountPoint()
    {
        const QString stick = QStringLiteral("/media/ana/STICK/");
        auto volumeWith = [this, &stick](const QByteArray& mountInfo) {
            scanWith(mountInfo);
            return LinuxDrives(m_mountInfo, m_sysfs->root()).volumeAt(stick);
        };
        const QByteArray system = mountLine(20, "254:1", "/", "ext4", "/dev/vda1");
        const QString first = volumeWith(system + mountLine(40, "8:17", "/media/ana/STICK", "vfat", "/dev/sdb1"));
        QVERIFY(!first.isEmpty());
        QCOMPARE(volumeWith(system + mountLine(40, "8:17", "/media/ana/STICK", "vfat", "/dev/sdb1")), first);
        QVERIFY(volumeWith(system + mountLine(41, "8:17", "/media/ana/STICK", "vfat", "/dev/sdb1")) != first);
        QVERIFY(volumeWith(system + mountLine(40, "8:33", "/media/ana/STICK", "vfat", "/dev/sdc1")) != first);
        QCOMPARE(volumeWith(system), QString());
        // Not a removable volume, whatever is mounted there.
        QCOMPARE(LinuxDrives(m_mountInfo, m_sysfs->root()).volumeAt(QStringLiteral("/")), QString());
    }

    void decodesMountPaths_data()
    {
        QTest::addColumn<QByteArray>("field");
        QTest::addColumn<QString>("path");
        QTest::newRow("plain") << QByteArray("/media/a") << "/media/a";
        QTest::newRow("blank") << QByteArray("/media/MY\\040USB") << "/media/MY USB";
        QTest::newRow("newline") << QByteArray("/m/a\\012b") << "/m/a\nb";
        QTest::newRow("backslash") << QByteArray("/m/a\\134") << "/m/a\\";
        QTest::newRow("short escape kept") << QByteArray("/m/a\\04") << "/m/a\\04";
        QTest::newRow("non-octal kept") << QByteArray("/m/a\\089") << "/m/a\\089";
        QTest::newRow("UTF-8 name") << QByteArray("/media/ana/\xc8\x98"
                                                  "COALA")
                                    << QStringLiteral("/media/ana/\u0218COALA");
    }
    void decodesMountPaths()
    {
        QFETCH(QByteArray, field);
        QFETCH(QString, path);
        QCOMPARE(DecodeMountPath(field), path);
    }
};

QTEST_GUILESS_MAIN(TestDrives)
#include "tst_drives.moc"
