#include "settings/access.h"

#include <gtest/gtest.h>

#include "document/program_state.h"

namespace petrel {
namespace {

TEST(Passwords, OpenOnlyTheirOwnWindowWithTheExactText) {
    struct Case {
        Guarded dialog;
        const char* typed;
        bool opens;
    };
    const Case cases[] = {
        {Guarded::Authorization, "dealerlock", true},
        {Guarded::Authorization, "Dealerlock", false},  // case counts
        {Guarded::Authorization, "531948", false},      // the hardware password
        {Guarded::Authorization, "dealerlock ", false},
        {Guarded::Authorization, "", false},
        {Guarded::CustomerEditor, "featurelock", true},
        {Guarded::CustomerEditor, "FEATURELOCK", false},
        {Guarded::CustomerEditor, "dealerlock", false},
        {Guarded::HardwareTuner, "531948", true},
        {Guarded::HardwareTuner, "dealerlock", false},
        {Guarded::HardwareTuner, "53194", false},
    };
    for (const Case& c : cases) {
        ProgramState state;
        PasswordPrompt prompt(state, c.dialog);
        prompt.Open();
        prompt.Typed(c.typed);
        EXPECT_EQ(prompt.Accept(), c.opens) << PasswordFormOf(c.dialog).name << " " << c.typed;
    }
}

TEST(Passwords, TypedTextIsSharedButEachDialogAcceptsOnlyItsOwn) {
    ProgramState state;
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
    EXPECT_EQ(state.OptionPwdText, "featurelock");
    EXPECT_EQ(state.PwdText, "531948");
    EXPECT_TRUE(option.Accept());
    EXPECT_EQ(state.OptionPwdText, "");
}

TEST(Authorization, StartValuesAndTheInverseFrequencyBox) {
    ProgramState state;
    state.FreqLock = false;
    state.TxPowerAuth = true;
    SetStartAuthorization(state);
    EXPECT_TRUE(state.FreqLock);
    EXPECT_FALSE(state.TxPowerAuth);
    EXPECT_FALSE(state.PowerKeyAuth);
    const AuthorizationChoices start = AuthorizationOf(state);
    EXPECT_FALSE(start.freq || start.txPower || start.button);

    ApplyAuthorization(state, {false, true, true});
    EXPECT_FALSE(state.FreqLock);
    EXPECT_TRUE(state.PowerKeyAuth);
    EXPECT_FALSE(state.TxPowerAuth);
    EXPECT_TRUE(AuthorizationOf(state).freq);
}

}  // namespace
}  // namespace petrel
