// Framework-private: the toolkit widget for each window class, and the text of
// a widget whatever its kind.
#pragma once

#include <memory>

#include "framework/window/private/WindowBacking.h"

std::unique_ptr<WindowBacking> CreateWidgetForClass(const CREATESTRUCT& cs, CWnd* parent);

void SetWidgetText(QWidget* widget, const QString& text);
QString WidgetText(const QWidget* widget);
