#pragma once

// The messages the panels and the model send the main window, with their window-message
// numbers (WM_USER = 0x400 based).
enum class MainMessage : int {
    SymbolChosen = 0x46B,
    RedrawStageIfIdle = 0x46C,
    ObjectsChanged = 0x46F,
    ShowMenu = 0x487,
    ResumePreview = 0x48A,
    CurrentFrame = 0x48D,
    AddTextObject = 0x491,
    RedrawStage = 0x495,
    ReloadLibrary = 0x496,
    EditSymbol = 0x497,
    RememberSelection = 0x499,
    RedrawAll = 0x49A,
    LayersChanged = 0x49B,
    StageSelection = 0x49C,
    StageEdited = 0x49D,
    OpenSample = 0x4A1,
};
