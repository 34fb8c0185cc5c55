#pragma once

#include <QImage>
#include <QString>

// Compares a picture with tests/golden/<name>, allowing a difference of `tolerance` in any
// channel of any pixel (antialiasing may round differently). Where it differs, the picture
// drawn is saved in the temporary folder and the test fails with its path. With
// HORALIS_UPDATE_GOLDEN=1 the golden picture is rewritten instead: look at it before
// committing it.
void expectLooksLikeGolden(const QImage& actual, const QString& name, int tolerance = 2);
