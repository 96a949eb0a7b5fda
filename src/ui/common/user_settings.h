#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <memory>

class QSettings;

namespace petrel {

// The recent files list keeps this many.
inline constexpr int kRecentFileCount = 8;

// What the desktop program remembers between runs, through QSettings: the recent files, the
// main window's geometry, the folder of the last file dialog, the backup option and the port
// used first. Tests give it a file of their own, so that they never touch the user's settings.
class UserSettings {
  public:
    UserSettings();  // the user's own
    explicit UserSettings(const QString& iniFile);
    ~UserSettings();
    UserSettings(const UserSettings&) = delete;
    UserSettings& operator=(const UserSettings&) = delete;

    // Newest first.
    QStringList RecentFiles() const;
    // Puts path first (moving it when listed); the oldest beyond kRecentFileCount go.
    void AddRecentFile(const QString& path);
    void RemoveRecentFile(const QString& path);

    QByteArray WindowGeometry() const;
    void SetWindowGeometry(const QByteArray& geometry);
    QString LastFolder() const;
    void SetLastFolder(const QString& folder);
    // Radio > "Back up the radio before writing"; on unless the user switched it off.
    bool BackupBeforeWriting() const;
    void SetBackupBeforeWriting(bool on);
    // View > Grid or List: how editors show their channels; the list unless the grid was chosen.
    bool ChannelGrid() const;
    void SetChannelGrid(bool grid);
    // Radio > Port: the device used first ("" when none was chosen).
    QString PreferredPort() const;
    void SetPreferredPort(const QString& device);

  private:
    void SetRecentFiles(const QStringList& files);

    std::unique_ptr<QSettings> settings_;
};

}  // namespace petrel
