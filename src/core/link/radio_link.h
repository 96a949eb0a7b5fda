#pragma once

// The radio link over one serial port, in three layers:
// - FrameLink (frame_link.h): finding the radio, one exchange per frame, block loops, trace;
// - ParamLink (param_link.h): live parameters by page and index, the fixed writes and reads
//   of the customer and alignment windows, the test state they may leave the radio in;
// - ImageLink (image_link.h): Upload and Download of the image, and the information page's
//   tables and texts.
// Each call is one radio operation: it connects, asks the user what the operation needs to
// know (through the Prompter, titled with the caption SetCaption gave), shows its progress in
// the StatusLine, serves the windows through the Clock's pump, closes the port and returns its
// result. The caller keeps whatever could change what a running operation reads from taking
// input meanwhile (the desktop program disables its menus and windows).

#include "core/link/frame_link.h"
#include "core/link/image_link.h"
#include "core/link/param_link.h"

namespace petrel {

class RadioLink {
  public:
    RadioLink(SerialPort& port, Clock& clock, Prompter& prompter, StatusLine& status)
        : frames_(port, clock, prompter, status), params_(frames_), images_(frames_, params_) {}
    RadioLink(const RadioLink&) = delete;
    RadioLink& operator=(const RadioLink&) = delete;

    FrameLink& Frames() { return frames_; }
    ParamLink& Params() { return params_; }
    ImageLink& Images() { return images_; }

  private:
    FrameLink frames_;
    ParamLink params_;
    ImageLink images_;
};

}  // namespace petrel
