#pragma once

#include <string>

#include "core/channels/channel_check.h"

namespace petrel {

struct Document;
struct ProgramState;
struct RadioRead;

// True when a title belongs to a document without a file name ("TEMP..." exactly).
bool IsUntitled(const std::string& title);

// Retitles the untitled documents "TEMP" + n, counting down from TempCount in slot order;
// returns whether any document is open.
bool RenumberTemp(ProgramState& state);

// Opens what an Upload read as a new untitled document ("TEMP<n>.CFG"); returns its slot.
int OpenRadioRead(ProgramState& state, RadioRead read);

// The core side of the main window's no-document state: only slot 0, an empty clipboard.
void ResetDocuments(ProgramState& state);

// Frees a closed document's slot and renumbers the untitled ones; returns whether any document
// is still open (when none is, the caller resets the shell).
bool UnloadDocument(ProgramState& state, int slot);

// The activation of an editor: MaxChannel and band edges from the document. The caller runs
// the channel check and enables Paste when ClipLines holds a line.
void ActivateDocument(ProgramState& state, int slot);

// The channel check of a document against its own band edges, as its activation shows it,
// whatever window is active and whatever the status label shows now.
ChannelCheckResult CheckDocumentChannels(const Document& doc);

}  // namespace petrel
