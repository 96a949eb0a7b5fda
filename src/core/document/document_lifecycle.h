#pragma once

#include <string>

namespace petrel {

class Workspace;
struct RadioRead;

// True when a title belongs to a document without a file name ("TEMP..." exactly).
bool IsUntitled(const std::string& title);

// Retitles the untitled documents "TEMP" + n, counting down from the workspace's TempCount in
// slot order; returns whether any document is open.
bool RenumberTemp(Workspace& workspace);

// Opens what an Upload read as a new untitled document ("TEMP<n>.CFG") of the band the link
// detected; returns its slot.
int OpenRadioRead(Workspace& workspace, RadioRead read);

// Frees a closed document's slot and renumbers the untitled ones; returns whether any document
// is still open (when none is, the caller resets the shell).
bool UnloadDocument(Workspace& workspace, int slot);

}  // namespace petrel
