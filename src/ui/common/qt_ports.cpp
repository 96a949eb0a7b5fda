#include "ui/common/qt_ports.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QStandardPaths>

#include "ui/common/user_settings.h"

namespace petrel {

namespace {

constexpr const char* kFileFilter = "EEPROM.CFG (*.cfg)";
constexpr const char* kDefaultSuffix = "cfg";  // a configuration is always a ".cfg"
constexpr const char* kChannelFilter = "Channels (*.csv)";
constexpr const char* kChannelSuffix = "csv";
constexpr const char* kPdfFilter = "PDF (*.pdf)";
constexpr const char* kPdfSuffix = "pdf";
constexpr const char* kPdfTitle = "Export as PDF";

QMessageBox::StandardButton ToQt(Answer answer) {
    switch (answer) {
        case Answer::Ok:
            return QMessageBox::Ok;
        case Answer::Cancel:
            return QMessageBox::Cancel;
        case Answer::Yes:
            return QMessageBox::Yes;
        case Answer::No:
            return QMessageBox::No;
        case Answer::Retry:
            return QMessageBox::Retry;
    }
    return QMessageBox::Ok;
}

QMessageBox::StandardButtons ToQt(Buttons buttons) {
    switch (buttons) {
        case Buttons::Ok:
            return QMessageBox::Ok;
        case Buttons::OkCancel:
            return QMessageBox::Ok | QMessageBox::Cancel;
        case Buttons::YesNo:
            return QMessageBox::Yes | QMessageBox::No;
        case Buttons::YesNoCancel:
            return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
        case Buttons::RetryCancel:
            return QMessageBox::Retry | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

QMessageBox::Icon ToQt(Icon icon) {
    switch (icon) {
        case Icon::None:
            return QMessageBox::NoIcon;
        case Icon::Stop:
            return QMessageBox::Critical;
        case Icon::Question:
            return QMessageBox::Question;
        case Icon::Exclamation:
            return QMessageBox::Warning;
        case Icon::Information:
            return QMessageBox::Information;
    }
    return QMessageBox::NoIcon;
}

// The first button of each set, as the box offers them from the left.
Answer FirstButton(Buttons buttons) {
    switch (buttons) {
        case Buttons::Ok:
        case Buttons::OkCancel:
            return Answer::Ok;
        case Buttons::YesNo:
        case Buttons::YesNoCancel:
            return Answer::Yes;
        case Buttons::RetryCancel:
            return Answer::Retry;
    }
    return Answer::Ok;
}

// The answer a box closed with Escape or its close box gives: Cancel or No when offered.
Answer EscapeAnswer(Buttons buttons) {
    switch (buttons) {
        case Buttons::Ok:
            return Answer::Ok;
        case Buttons::YesNo:
            return Answer::No;
        case Buttons::OkCancel:
        case Buttons::YesNoCancel:
        case Buttons::RetryCancel:
            return Answer::Cancel;
    }
    return Answer::Cancel;
}

Answer FromQt(int button, Buttons offered) {
    switch (button) {
        case QMessageBox::Ok:
            return Answer::Ok;
        case QMessageBox::Cancel:
            return Answer::Cancel;
        case QMessageBox::Yes:
            return Answer::Yes;
        case QMessageBox::No:
            return Answer::No;
        case QMessageBox::Retry:
            return Answer::Retry;
        default:
            return EscapeAnswer(offered);
    }
}

}  // namespace

QString DisplayText(const std::string& text) {
    QString shown = QString::fromStdString(text);
    shown.replace(QString::fromLatin1(kLineBreak), QStringLiteral("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return shown;
}

Answer QtPrompter::Ask(const Message& message) {
    const std::string& title =
        message.title.empty() ? std::string(kMainWindowCaption) : message.title;
    // A box asked from a dialog belongs to that dialog, so that the focus goes back to it.
    QWidget* owner = QApplication::activeWindow();
    if (owner == nullptr) {
        owner = parent_;
    }
    QMessageBox box(ToQt(message.icon), QString::fromStdString(title), DisplayText(message.text),
                    ToQt(message.buttons), owner);
    box.setDefaultButton(ToQt(message.defaultButton.value_or(FirstButton(message.buttons))));
    box.setEscapeButton(ToQt(EscapeAnswer(message.buttons)));
    if (!message.detail.empty()) {
        box.setDetailedText(QString::fromStdString(message.detail));
    }
    // Error boxes may come while the hourglass shows; the user must see a normal pointer.
    QApplication::setOverrideCursor(Qt::ArrowCursor);
    const int result = box.exec();
    QApplication::restoreOverrideCursor();
    return FromQt(result, message.buttons);
}

std::string QtFileChooser::AskOpenName() {
    return Ask(false, kFileFilter, kDefaultSuffix, {});
}

std::string QtFileChooser::AskSaveName(const std::string& proposed) {
    return Ask(true, kFileFilter, kDefaultSuffix, proposed);
}

std::string QtFileChooser::AskImportName() {
    return Ask(false, kChannelFilter, kChannelSuffix, {});
}

std::string QtFileChooser::AskExportName(const std::string& proposed) {
    return Ask(true, kChannelFilter, kChannelSuffix, proposed);
}

std::string QtFileChooser::AskPdfName(const std::string& proposed) {
    return Ask(true, kPdfFilter, kPdfSuffix, proposed, kPdfTitle);
}

std::string QtFileChooser::Ask(bool save, const char* filter, const char* suffix,
                               const std::string& proposed, const char* title) {
    QString start = QString::fromStdString(proposed);
    if (settings_ != nullptr && !settings_->LastFolder().isEmpty() &&
        QFileInfo(start).isRelative()) {
        start = QDir(settings_->LastFolder()).filePath(start);
    }
    QFileDialog dialog(parent_, QString::fromLatin1(title), start, QString::fromLatin1(filter));
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(QString::fromLatin1(suffix));
    QApplication::setOverrideCursor(Qt::ArrowCursor);
    const bool chosen = dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty();
    QApplication::restoreOverrideCursor();
    if (!chosen) {
        return {};
    }
    const QString name = dialog.selectedFiles().first();
    if (settings_ != nullptr) {
        settings_->SetLastFolder(QFileInfo(name).absolutePath());
    }
    return name.toStdString();
}

QString EnterWorkingFolder() {
    const QString folder = QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation))
                               .filePath(QStringLiteral("Petrel CPS"));
    if (!QDir().mkpath(folder) || !QDir::setCurrent(folder)) {
        return QString();
    }
    return folder;
}

void PumpEvents() {
    QCoreApplication::processEvents();
}

WaitCursor::WaitCursor() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

WaitCursor::~WaitCursor() {
    QApplication::restoreOverrideCursor();
}

}  // namespace petrel
