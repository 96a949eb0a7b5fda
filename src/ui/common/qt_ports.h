#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

#include "core/ports/prompter.h"

namespace petrel {

// Message box text as Qt shows it: the two-character line break becomes one newline.
QString DisplayText(const std::string& text);

// Message boxes as QMessageBox, modal to the main window. A message without a title of its
// own carries the main window's caption.
class QtPrompter : public Prompter {
  public:
    void SetParent(QWidget* parent) { parent_ = parent; }
    Answer Ask(const Message& message) override;

  private:
    QPointer<QWidget> parent_;
};

class UserSettings;

// The Open and Save dialogs: filter "EEPROM.CFG (*.cfg)", default extension "cfg"; Import and
// Export Channels: "Channels (*.csv)", "csv"; the report's PDF: "PDF (*.pdf)", "pdf". With
// settings, every dialog starts in the folder of the last file chosen (a proposed name with a
// folder of its own keeps it).
class QtFileChooser : public FileChooser {
  public:
    void SetParent(QWidget* parent) { parent_ = parent; }
    void SetSettings(UserSettings* settings) { settings_ = settings; }
    std::string AskOpenName() override;
    std::string AskSaveName(const std::string& proposed) override;
    std::string AskImportName() override;
    std::string AskExportName(const std::string& proposed) override;
    std::string AskPdfName(const std::string& proposed) override;

  private:
    std::string Ask(bool save, const char* filter, const char* suffix, const std::string& proposed,
                    const char* title = "");

    QPointer<QWidget> parent_;
    UserSettings* settings_ = nullptr;
};

// Makes the user's "Petrel CPS" folder in the documents location the working directory,
// creating it when missing (the program's own folder is not writable). Returns the folder, or
// an empty text when it could not be made or entered.
QString EnterWorkingFolder();

// The Clock's pump: lets Qt process the events that are waiting.
void PumpEvents();

// Shows the hourglass pointer for the life of the object, whatever way the scope is left.
class WaitCursor {
  public:
    WaitCursor();
    ~WaitCursor();
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

}  // namespace petrel
