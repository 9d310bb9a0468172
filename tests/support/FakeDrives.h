#pragma once

#include "platform/Drives.h"

// Drives whose list a test sets; counts the scans so that a test can tell
// that polling happened.
class FakeDrives : public itm::Drives
{
public:
    void setDrives(QList<itm::DriveInfo> drives) { m_drives = std::move(drives); }
    void addDrive(const QString& rootPath, itm::DriveKind kind) { m_drives.append({ rootPath, kind }); }
    void removeDrive(const QString& rootPath)
    {
        m_drives.removeIf([&](const itm::DriveInfo& drive) { return drive.rootPath == rootPath; });
    }
    QList<itm::DriveInfo> scan() override
    {
        ++m_scanCount;
        return m_drives;
    }
    int scanCount() const { return m_scanCount; }

private:
    QList<itm::DriveInfo> m_drives;
    int m_scanCount = 0;
};
