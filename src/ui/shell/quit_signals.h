#pragma once

namespace petrel {

// Makes SIGTERM, SIGINT and SIGHUP end the program's event loop as a normal ending does, so
// that what must happen at the end still happens: a radio under alignment is taken out of its
// test state (and off the air) before the program goes. Call once, after the QApplication is
// made.
void QuitOnTerminationSignals();

// True once such a signal came. A signal during start-up can only end the event loop of a
// message box then open; main() asks this before it enters its own loop.
bool TerminationRequested();

}  // namespace petrel
