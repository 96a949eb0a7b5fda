#include "ui/common/user_settings.h"

#include <QSettings>

namespace petrel {

namespace {
const QString kRecentFilesKey = QStringLiteral("recentFiles");
const QString kGeometryKey = QStringLiteral("mainWindow/geometry");
const QString kLastFolderKey = QStringLiteral("lastFolder");
const QString kBackupKey = QStringLiteral("radio/backupBeforeWriting");
const QString kGridKey = QStringLiteral("editor/channelGrid");
const QString kPortKey = QStringLiteral("radio/preferredPort");
}  // namespace

UserSettings::UserSettings()
    : settings_(
          std::make_unique<QSettings>(QStringLiteral("Petrel"), QStringLiteral("Petrel CPS"))) {}

UserSettings::UserSettings(const QString& iniFile)
    : settings_(std::make_unique<QSettings>(iniFile, QSettings::IniFormat)) {}

UserSettings::~UserSettings() = default;

QStringList UserSettings::RecentFiles() const {
    return settings_->value(kRecentFilesKey).toStringList().mid(0, kRecentFileCount);
}

void UserSettings::SetRecentFiles(const QStringList& files) {
    settings_->setValue(kRecentFilesKey, files.mid(0, kRecentFileCount));
}

void UserSettings::AddRecentFile(const QString& path) {
    QStringList files = RecentFiles();
    files.removeAll(path);
    files.prepend(path);
    SetRecentFiles(files);
}

void UserSettings::RemoveRecentFile(const QString& path) {
    QStringList files = RecentFiles();
    files.removeAll(path);
    SetRecentFiles(files);
}

QByteArray UserSettings::WindowGeometry() const {
    return settings_->value(kGeometryKey).toByteArray();
}

void UserSettings::SetWindowGeometry(const QByteArray& geometry) {
    settings_->setValue(kGeometryKey, geometry);
}

QString UserSettings::LastFolder() const {
    return settings_->value(kLastFolderKey).toString();
}

void UserSettings::SetLastFolder(const QString& folder) {
    settings_->setValue(kLastFolderKey, folder);
}

bool UserSettings::BackupBeforeWriting() const {
    return settings_->value(kBackupKey, true).toBool();
}

void UserSettings::SetBackupBeforeWriting(bool on) {
    settings_->setValue(kBackupKey, on);
}

bool UserSettings::ChannelGrid() const {
    return settings_->value(kGridKey, false).toBool();
}

void UserSettings::SetChannelGrid(bool grid) {
    settings_->setValue(kGridKey, grid);
}

QString UserSettings::PreferredPort() const {
    return settings_->value(kPortKey).toString();
}

void UserSettings::SetPreferredPort(const QString& device) {
    settings_->setValue(kPortKey, device);
}

}  // namespace petrel
