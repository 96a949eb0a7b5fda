#pragma once

#include <optional>
#include <string>
#include <utility>

namespace petrel {

// The main window's caption; message boxes without a title of their own carry it too.
inline constexpr const char* kMainWindowCaption = "PC Software for Petrel Serial Radio";

// Message lines are joined with line feed then carriage return, as the radio software always did.
inline constexpr const char* kLineBreak = "\n\r";

enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel };
enum class Icon { None, Stop, Question, Exclamation, Information };
enum class Answer { Ok, Cancel, Yes, No, Retry };

struct Message {
    Message() = default;
    Message(std::string text_, std::string title_, Buttons buttons_, Icon icon_,
            std::optional<Answer> defaultButton_, std::string detail_ = {})
        : text(std::move(text_)),
          title(std::move(title_)),
          buttons(buttons_),
          icon(icon_),
          defaultButton(defaultButton_),
          detail(std::move(detail_)) {}

    std::string text;
    std::string title;  // empty: the program's default title
    Buttons buttons = Buttons::Ok;
    Icon icon = Icon::None;
    std::optional<Answer> defaultButton;  // empty: the first button
    std::string detail;                   // shown on request under the text; may be empty
};

// Every message box goes through a Prompter: the GUI shows it, the command line answers by
// policy, tests script the answers and check the texts.
class Prompter {
  public:
    virtual ~Prompter() = default;
    virtual Answer Ask(const Message& message) = 0;

    // An OK box: the answer does not matter.
    void Tell(const std::string& text, Icon icon = Icon::None, const std::string& title = {}) {
        Ask(Message{text, title, Buttons::Ok, icon, std::nullopt});
    }
};

// The file dialogs of Open and Save, of Import and Export Channels (channel lists as
// comma-separated text) and of the report's PDF export. An empty result means the user
// cancelled.
class FileChooser {
  public:
    virtual ~FileChooser() = default;
    virtual std::string AskOpenName() = 0;
    virtual std::string AskSaveName(const std::string& proposed) = 0;
    virtual std::string AskImportName() = 0;
    virtual std::string AskExportName(const std::string& proposed) = 0;
    virtual std::string AskPdfName(const std::string& proposed) = 0;
};

}  // namespace petrel
