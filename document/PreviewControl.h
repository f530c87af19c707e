#pragma once

// PreviewControl: lets project commands pause a running preview while they change the model.
class PreviewControl {
public:
    virtual ~PreviewControl() = default;
    // Stops a running preview, waiting for the frame in progress; true when one was running.
    virtual bool stopPreview() = 0;
    virtual void startPreview() = 0;
};
