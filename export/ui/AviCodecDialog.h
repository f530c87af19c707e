#pragma once

#include "controls/IntegerRange.h"
#include "export/AviExporter.h"
#include "export/ui/AviCodecList.h"

#include <QDialog>

#include <optional>

class LanguageTable;
class MessageSink;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QSlider;

// AviCodecDialog: the compression choice of an AVI export: a codec among those the FFmpeg
// build can encode, and where the codec takes them a quality (0..100 here, 0..10000 in the
// options; unchecked: the codec's default), a key-frame interval and a data-rate limit (which,
// when set, takes the place of the quality). Settings the chosen codec does not take are
// disabled and left out of the result.
class AviCodecDialog : public QDialog {
    Q_OBJECT

public:
    static constexpr IntegerRange kKeyFrameRange{1, 10000};  // frames
    static constexpr IntegerRange kDataRateRange{1, 100000}; // kilobytes (1024) per second

    // `initial` preselects the codec and the settings; a refused number is reported through
    // `sink`, or in a message box when it is null.
    AviCodecDialog(const LanguageTable& texts, MessageSink* sink = nullptr,
                   QWidget* parent = nullptr, const AviCompressOptions& initial = {});

    // Runs the dialog: the chosen options, or nothing when the user cancelled.
    static std::optional<AviCompressOptions> ask(QWidget* parent, const LanguageTable& texts,
                                                 MessageSink* sink = nullptr,
                                                 const AviCompressOptions& initial = {});
    // The codec choice of an AviExporter, shown over `parent`; `texts` (and `sink`) must
    // outlive the exporter.
    static AviExporter::CodecChooser chooser(QWidget* parent, const LanguageTable& texts,
                                             MessageSink* sink = nullptr);

    // The options once the dialog was confirmed.
    const AviCompressOptions& options() const { return m_options; }

    void accept() override;

private:
    void buildControls(const LanguageTable& texts);
    void showOptions(const AviCompressOptions& options);
    void updateEnabled();
    const AviCodecInfo* currentCodec() const;

    AviCodecList m_codecs;
    MessageSink* m_sink;
    QComboBox* m_codec = nullptr;
    QCheckBox* m_quality = nullptr;
    QSlider* m_qualitySlider = nullptr;
    QLabel* m_qualityValue = nullptr;
    QCheckBox* m_keyFrames = nullptr;
    QLineEdit* m_keyFrameEvery = nullptr;
    QLabel* m_keyFrameUnit = nullptr;
    QCheckBox* m_dataRate = nullptr;
    QLineEdit* m_kilobytes = nullptr;
    QLabel* m_dataRateUnit = nullptr;
    AviCompressOptions m_options;
};
