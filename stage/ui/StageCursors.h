#pragma once

#include <QCursor>

// StageCursors: the program's own pointers of the stage and its dialogs (rotation, guide-line
// drawing, the angle dial), made from its pictures once.
class StageCursors {
public:
    static const QCursor& rotation();
    static const QCursor& guideLine();
    static const QCursor& dial();
};
