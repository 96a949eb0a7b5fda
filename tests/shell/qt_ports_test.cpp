#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>

#include "document/program_state.h"
#include "shell/qt_ports.h"
#include "shell/status_area.h"

namespace petrel::test {

namespace {

// Runs check on the first modal dialog of type T once it is up, then lets finish close it.
template <typename T>
void WhenShown(std::function<void(T*)> check) {
    QTimer::singleShot(0, [check] {
        auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget());
        if (dialog == nullptr) {
            QTimer::singleShot(10, [check] { WhenShown<T>(check); });
            return;
        }
        check(dialog);
    });
}

}  // namespace

class QtPortsTest : public QObject {
    Q_OBJECT
  private slots:
    void messageBoxShowsTheTextTitleButtonsIconAndDefault();
    void messageBoxWithoutTitleCarriesTheCaptionAndEscapeAnswersNo();
    void fileDialogsUseTheConfigurationFilterAndDefaultExtension();
    void statusLabelTakesTextColourAndSize();
    void workingFolderIsMadeInTheDocumentsLocation();
};

void QtPortsTest::messageBoxShowsTheTextTitleButtonsIconAndDefault() {
    QtPrompter prompter;
    QString text;
    QString title;
    QMessageBox::StandardButtons buttons;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QAbstractButton* defaultButton = nullptr;
    QAbstractButton* noButton = nullptr;
    WhenShown<QMessageBox>([&](QMessageBox* box) {
        text = box->text();
        title = box->windowTitle();
        buttons = box->standardButtons();
        icon = box->icon();
        defaultButton = box->defaultButton();
        noButton = box->button(QMessageBox::No);
        box->button(QMessageBox::Cancel)->click();
    });
    const Answer answer =
        prompter.Ask(Message{"The data in [X] has changed.\n\rDo you want?", "Title",
                             Buttons::YesNoCancel, Icon::Exclamation, Answer::No});
    QCOMPARE(answer, Answer::Cancel);
    QCOMPARE(text, QString("The data in [X] has changed.\nDo you want?"));
    QCOMPARE(title, QString("Title"));
    QCOMPARE(buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    QCOMPARE(icon, QMessageBox::Warning);
    QCOMPARE(defaultButton, noButton);

    WhenShown<QMessageBox>([&](QMessageBox* box) {
        icon = box->icon();
        defaultButton = box->defaultButton();
        noButton = box->button(QMessageBox::Yes);
        box->button(QMessageBox::Yes)->click();
    });
    QCOMPARE(prompter.Ask(Message{"Try Again ?", {}, Buttons::YesNo, Icon::Stop, std::nullopt}),
             Answer::Yes);
    QCOMPARE(icon, QMessageBox::Critical);
    QCOMPARE(defaultButton, noButton);
}

void QtPortsTest::messageBoxWithoutTitleCarriesTheCaptionAndEscapeAnswersNo() {
    QtPrompter prompter;
    QString title;
    WhenShown<QMessageBox>([&](QMessageBox* box) {
        title = box->windowTitle();
        QTest::keyClick(box, Qt::Key_Escape);
    });
    QCOMPARE(prompter.Ask(Message{"Question ?", {}, Buttons::YesNo, Icon::Question, std::nullopt}),
             Answer::No);
    QCOMPARE(title, QString("PC Software for Petrel Serial Radio"));

    WhenShown<QMessageBox>([&](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Escape); });
    QCOMPARE(prompter.Ask(Message{"Done", {}, Buttons::Ok, Icon::None, std::nullopt}), Answer::Ok);
}

void QtPortsTest::fileDialogsUseTheConfigurationFilterAndDefaultExtension() {
    QTemporaryDir dir;
    QtFileChooser chooser;
    QStringList filters;
    QString suffix;
    QFileDialog::AcceptMode mode = QFileDialog::AcceptOpen;
    WhenShown<QFileDialog>([&](QFileDialog* dialog) {
        filters = dialog->nameFilters();
        suffix = dialog->defaultSuffix();
        mode = dialog->acceptMode();
        dialog->selectFile(dir.filePath("radio"));
        QMetaObject::invokeMethod(dialog, "accept");
    });
    const std::string saved = chooser.AskSaveName(dir.filePath("proposed.cfg").toStdString());
    QCOMPARE(filters, QStringList{"EEPROM.CFG (*.cfg)"});
    QCOMPARE(suffix, QString("TXT"));
    QCOMPARE(mode, QFileDialog::AcceptSave);
    QCOMPARE(QString::fromStdString(saved), dir.filePath("radio.TXT"));

    // A cancelled dialog gives no name.
    WhenShown<QFileDialog>([&](QFileDialog* dialog) {
        mode = dialog->acceptMode();
        filters = dialog->nameFilters();
        dialog->reject();
    });
    QCOMPARE(chooser.AskOpenName(), std::string());
    QCOMPARE(mode, QFileDialog::AcceptOpen);
    QCOMPARE(filters, QStringList{"EEPROM.CFG (*.cfg)"});
}

void QtPortsTest::statusLabelTakesTextColourAndSize() {
    StatusArea status;
    status.resize(800, 40);
    status.show();
    auto* label = status.findChild<QLabel*>("labErrMsg");
    auto* progress = status.findChild<QProgressBar*>("ProgressBar1");
    QVERIFY(!progress->isVisible());

    status.SetStatus("Petrel (PMR) detected", kStatusBlack, kStatusFontLarge);
    QCOMPARE(label->text(), QString("Petrel (PMR) detected"));
    QCOMPARE(label->font().pointSize(), 15);
    QCOMPARE(status.font().pointSize(), 15);
    QVERIFY(label->width() >= label->fontMetrics().horizontalAdvance(label->text()));
    QCOMPARE(label->palette().color(QPalette::WindowText), QColor(Qt::black));

    status.SetStatus("Not detected", kStatusRed, kStatusFontLarge);
    QCOMPARE(label->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    QCOMPARE(status.Color(), kStatusRed);

    // The progress bar stands right of the label and reaches the right edge.
    status.SetProgressRange(480);
    status.SetProgress(240);
    status.ShowProgress(true);
    QVERIFY(progress->isVisible());
    QVERIFY(progress->x() > label->geometry().right());
    QVERIFY(progress->geometry().right() < status.width());
    QVERIFY(progress->geometry().right() > status.width() - 10);
    QCOMPARE(progress->value(), 240);
    QCOMPARE(progress->maximum(), 480);
    status.ShowProgress(false);
    QVERIFY(!progress->isVisible());
}

void QtPortsTest::workingFolderIsMadeInTheDocumentsLocation() {
    QTemporaryDir home;
    const QString previous = QDir::currentPath();
    const QByteArray oldHome = qgetenv("HOME");
    const QByteArray oldConfig = qgetenv("XDG_CONFIG_HOME");
    qputenv("HOME", home.path().toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", home.filePath("config").toLocal8Bit());

    const QString folder = EnterWorkingFolder();

    const QString expected = QDir(home.path()).filePath("Documents/Petrel CPS");
    QDir::setCurrent(previous);
    qputenv("HOME", oldHome);
    oldConfig.isNull() ? qunsetenv("XDG_CONFIG_HOME") : qputenv("XDG_CONFIG_HOME", oldConfig);
    QCOMPARE(folder, expected);
    QVERIFY(QFileInfo(expected).isDir());
}

}  // namespace petrel::test

QTEST_MAIN(petrel::test::QtPortsTest)
#include "qt_ports_test.moc"
