// Framework-private: what a CFont holds.
#pragma once

#include <QFont>

struct FontData {
    QFont font;
};

// The face used when a dialog or font names one that is not installed.
QString InstalledFace(const QString& wanted);
