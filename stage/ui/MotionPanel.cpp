#include "stage/ui/MotionPanel.h"

#include "controls/FlatSlider.h"
#include "document/Document.h"
#include "document/LanguageTable.h"
#include "document/MessageSink.h"
#include "document/ProjectEditor.h"
#include "stage/ui/GuideLineDialog.h"

#include <QPainter>
#include <QPushButton>

#include <algorithm>

namespace {

const QColor kBackground(190, 190, 190);
constexpr int kRow = 15;
constexpr int kSliderLeft = 130;
constexpr int kSliderRight = 250;

} // namespace

MotionPanel::MotionPanel(ProjectEditor& editor, MessageSink& sink, const LanguageTable& texts,
                         QWidget* parent)
    : QWidget(parent), m_editor(editor), m_sink(sink), m_texts(texts), m_model(editor, texts),
      m_liner(new QPushButton(tr("Liner Motion"), this)),
      m_guideLine(new QPushButton(tr("Guide Line Motion"), this)),
      m_dialogButton(new QPushButton(tr("Draw Guide Line..."), this)) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    const auto& sliders = MotionPanelModel::sliders();
    for (std::size_t i = 0; i < sliders.size(); ++i) {
        auto* slider = new FlatSlider(sliders[i].maximum, this);
        const int command = sliders[i].command;
        connect(slider, &FlatSlider::pressed, this,
                [this, command] { m_model.sliderPressed(command); });
        connect(slider, &FlatSlider::moved, this, [this, command](int position) {
            m_model.sliderMoved(command, position);
            update(); // the read-outs
        });
        connect(slider, &FlatSlider::released, this,
                [this, command] { m_model.sliderReleased(command); });
        m_sliders[i] = slider;
    }
    for (QPushButton* toggle : {m_liner, m_guideLine}) {
        toggle->setCheckable(true);
        // The chosen motion stands out clearly on the grey panel.
        toggle->setStyleSheet(QStringLiteral(
            "QPushButton { background: #f3f5f8; border: 1px solid #8c95a0; border-radius: 3px; }"
            "QPushButton:checked { background: #2d7ff9; color: white; border-color: #1f5fc0; }"));
    }
    connect(m_liner, &QPushButton::clicked, this, [this] {
        m_model.toggle(MotionPanelModel::kLinerToggle);
        layoutControls();
    });
    connect(m_guideLine, &QPushButton::clicked, this, [this] {
        m_model.toggle(MotionPanelModel::kGuideLineToggle);
        layoutControls();
    });
    connect(m_dialogButton, &QPushButton::clicked, this, &MotionPanel::openGuideLineDialog);
    layoutControls();
    m_editor.subscribe(this);
}

MotionPanel::~MotionPanel() {
    m_editor.unsubscribe(this);
}

void MotionPanel::documentChanged(DocumentChange change) {
    if (change.has(DocumentChange::Objects | DocumentChange::Selection | DocumentChange::Layers |
                   DocumentChange::Replaced))
        load();
}

FlatSlider* MotionPanel::slider(int command) const {
    const auto& sliders = MotionPanelModel::sliders();
    for (std::size_t i = 0; i < sliders.size(); ++i)
        if (sliders[i].command == command)
            return m_sliders[i];
    return nullptr;
}

QPushButton* MotionPanel::toggle(int command) const {
    return command == MotionPanelModel::kLinerToggle ? m_liner : m_guideLine;
}

void MotionPanel::load() {
    m_model.load();
    const auto& sliders = MotionPanelModel::sliders();
    for (std::size_t i = 0; i < sliders.size(); ++i)
        m_sliders[i]->setPosition(m_model.position(sliders[i].command));
    layoutControls();
}

void MotionPanel::layoutControls() {
    const int y0 = MotionPanelModel::firstRowTop(height());
    const bool toggles = m_model.togglesShown();
    m_liner->setGeometry(10, y0, 100, 20);
    m_guideLine->setGeometry(130, y0, 130, 20);
    m_liner->setVisible(toggles);
    m_guideLine->setVisible(toggles);
    m_liner->setChecked(m_model.mode() == 1);
    m_guideLine->setChecked(m_model.mode() == 2);
    // Only the sliders that leave the layout are hidden: one being dragged stays as it is.
    const std::vector<int> shown = m_model.visibleSliders();
    for (std::size_t i = 0; i < m_sliders.size(); ++i) {
        const auto row = std::find(shown.begin(), shown.end(), static_cast<int>(i));
        if (row == shown.end()) {
            m_sliders[i]->hide();
            continue;
        }
        const int top = y0 + 25 + static_cast<int>(row - shown.begin()) * kRow;
        m_sliders[i]->setGeometry(kSliderLeft, top, kSliderRight - kSliderLeft, 11);
        m_sliders[i]->show();
    }
    const int row = static_cast<int>(shown.size());
    m_dialogButton->setVisible(m_model.guideLineButtonShown());
    m_dialogButton->setGeometry(kSliderLeft, y0 + 25 + row * kRow + 4, 130, 22);
    update();
}

void MotionPanel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), kBackground);
    const int y0 = MotionPanelModel::firstRowTop(height());
    const auto& sliders = MotionPanelModel::sliders();
    int row = 0;
    painter.setPen(Qt::black);
    for (int index : m_model.visibleSliders()) {
        const int top = y0 + 25 + row * kRow - 2;
        painter.drawText(QRect(15, top, kSliderLeft - 18, kRow), Qt::AlignVCenter | Qt::AlignLeft,
                         QString::fromUtf8(m_model.label(index).c_str()));
        const int command = sliders[std::size_t(index)].command;
        painter.drawText(QRect(kSliderRight + 4, top, width() - kSliderRight - 6, kRow),
                         Qt::AlignVCenter | Qt::AlignLeft,
                         QString::fromUtf8(m_model.valueText(command).c_str()));
        ++row;
    }
}

void MotionPanel::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layoutControls();
}

void MotionPanel::openGuideLineDialog() {
    if (!m_model.prepareGuideLineDialog()) {
        m_sink.show("No animation object on the timeline.", m_texts.text(kTextProductName),
                    MessageIcon::Information);
        return;
    }
    layoutControls();
    GuideLineDialog dialog(m_editor, m_model.selectedObject(), window());
    dialog.exec();
}
