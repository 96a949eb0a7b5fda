#include "core/settings/access.h"

#include <gtest/gtest.h>

#include "core/model/authorization.h"
#include "support/golden.h"

namespace petrel {
namespace {

TEST(Passwords, OpenOnlyTheirOwnWindowWithTheExactText) {
    const auto typed = [](const std::string& case_) {
        using enum Guarded;
        petrel::Authorization state;
        for (const Guarded dialog : {Authorization, CustomerEditor, HardwareTuner}) {
            if (case_.starts_with(PasswordFormOf(dialog).name)) {
                PasswordPrompt prompt(state, dialog);
                prompt.Open();
                prompt.Typed(test::Unquoted(case_));
                return prompt.Accept() ? "opens" : "stays shut";
            }
        }
        return "no such dialog";
    };
    EXPECT_TRUE(test::MatchesTranscript("settings/data/passwords.txt", typed));
}

TEST(Passwords, TypedTextIsSharedButEachDialogAcceptsOnlyItsOwn) {
    Authorization state;
    PasswordPrompt author(state, Guarded::Authorization);
    PasswordPrompt hardware(state, Guarded::HardwareTuner);
    PasswordPrompt option(state, Guarded::CustomerEditor);

    state.PwdText = "left over";
    author.Open();
    EXPECT_EQ(state.PwdText, "");
    author.Typed("531948");
    EXPECT_EQ(state.PwdText, "531948");
    // The hardware dialog, open at the same time with an empty box, does not open.
    hardware.Open();
    author.Typed("531948");
    EXPECT_FALSE(hardware.Accept());
    EXPECT_FALSE(author.Accept());

    // The option dialog has its own text, cleared after a correct password.
    option.Open();
    option.Typed("featurelock");
    EXPECT_EQ(state.OptionPwdText + "|" + state.PwdText, "featurelock|531948");
    EXPECT_TRUE(option.Accept());
    EXPECT_EQ(state.OptionPwdText, "");
}

TEST(Authorization, StartValuesAndTheInverseFrequencyBox) {
    Authorization state;
    state.FreqLock = false;
    state.TxPowerAuth = true;
    SetStartAuthorization(state);
    EXPECT_TRUE(state.FreqLock && !state.TxPowerAuth && !state.PowerKeyAuth);
    const AuthorizationChoices start = AuthorizationOf(state);
    EXPECT_FALSE(start.freq || start.txPower || start.button);

    ApplyAuthorization(state, {false, true, true});
    EXPECT_TRUE(!state.FreqLock && state.PowerKeyAuth && !state.TxPowerAuth);
    EXPECT_TRUE(AuthorizationOf(state).freq);
}

}  // namespace
}  // namespace petrel
