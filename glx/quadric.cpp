#include "glx/quadric.h"

namespace glx {

basic_quadric::basic_quadric() : _quadric(gluNewQuadric()) {
  if (!_quadric) throw cannot_allocate();
}

basic_quadric::~basic_quadric() {
  if (_quadric) gluDeleteQuadric(_quadric);
}

void basic_quadric::DrawStyle(int style) {
  switch (style) {
    case 1:
      gluQuadricDrawStyle(_quadric, GLU_POINT);
      break;
    case 2:
      gluQuadricDrawStyle(_quadric, GLU_LINE);
      break;
    case 3:
      gluQuadricDrawStyle(_quadric, GLU_FILL);
      break;
    default:
      break;
  }
}

}  // namespace glx
