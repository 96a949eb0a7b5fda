#pragma once

namespace petrel {

// Makes SIGTERM, SIGINT and SIGHUP end the program's event loop as a normal ending does, so
// that what must happen at the end still happens: a radio under alignment is taken out of its
// test state (and off the air) before the program goes. Call once, after the QApplication is
// made.
void QuitOnTerminationSignals();

}  // namespace petrel
