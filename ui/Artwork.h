// The program's own pictures, drawn in code: a conic graticule.
#pragma once

#include <QIcon>
#include <QPixmap>
#include <QSize>

namespace Artwork {

// The logo of the About box.
QPixmap logo(QSize size, qreal devicePixelRatio);

// The window icon, at the usual sizes.
QIcon icon();

// One square icon image of the given side in pixels.
QPixmap iconImage(int side);

}  // namespace Artwork
