#pragma once

// The messages the main window receives, with their window-message numbers (WM_USER = 0x400
// based): what the stage worker reports from its thread, and what panels ask of the window
// itself (a menu, a sample, the symbol editor). Edits never travel this way: they go to the
// command layer, which announces them (DocumentChange).
enum class MainMessage : int {
    SymbolChosen = 0x46B,
    ShowMenu = 0x487,
    ResumePreview = 0x48A,
    CurrentFrame = 0x48D,
    ReloadLibrary = 0x496,
    EditSymbol = 0x497,
    OpenSample = 0x4A1,
};

// ShowMenu's lparam: which popup menu.
enum class MenuKind : int {
    Context = 0, // the main context menu (file, edit and play items)
    Object = 1,  // the object menu
};

// OpenSample's wparam: what the start screen asks for.
enum class SampleRequest : int {
    Chooser = 0,     // the sample-project chooser
    OpenProject = 1, // the open-project command
};

// CurrentFrame's wparam: who is told of the frame in lparam.
enum class FrameNotice : int {
    Timeline = 0, // the stage already shows it (the preview): the timeline moves its cursor
    Stage = 1,    // the stage is to show it as well
    Export = 2,   // an export wrote it: the current frame and the timeline follow, the stage
                  // is drawn again only at the end (its frames cost what the export needs)
};
