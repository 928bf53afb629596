// Framework-private: the status bar's widget, a row of text panes. The
// stretching pane takes what the fixed-width panes leave. Screen readers see
// a status bar whose children are the panes, named by their texts.
#pragma once

#include <QString>
#include <QWidget>
#include <vector>

#include "framework/base/CString.h"

class StatusBarWidget : public QWidget {
public:
    struct Pane {
        UINT id = 0;
        UINT style = 0;
        int width = 0;
        CString text; // as the program set it, in code page 936
    };

    explicit StatusBarWidget(QWidget* parent);

    std::vector<Pane>& Panes() { return m_panes; }
    QSize sizeHint() const override;
    // Pane rectangles in widget coordinates, in pane order.
    std::vector<QRect> PaneRects() const;
    // Tells screen readers that the pane shows a new text.
    void PaneTextChanged(int index);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::vector<Pane> m_panes;
};
