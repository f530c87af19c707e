#pragma once

#include <QString>

class ProjectEditor;
class TextMeasurer;

// SampleProjects: builds the bundled sample projects in an editor, from pictures drawn in
// code. Background pictures are written into `pictureFolder`, the folder the project file
// is written to, and referred to by their file name alone.
class SampleProjects {
public:
    static constexpr int kCount = 4;

    // Replaces the editor's project by sample `number` (1..kCount). False for other numbers
    // or when a background picture cannot be written.
    static bool build(int number, ProjectEditor& editor, const TextMeasurer& measurer,
                      const QString& pictureFolder);
};
