// Owner of one GLU quadric object.
#pragma once
#include <windows.h>
#include <GL/glu.h>

namespace glx {

class basic_quadric {
 public:
  struct cannot_allocate {};

  // GLU quadrics need no current context: this may run on any thread.
  basic_quadric();
  virtual ~basic_quadric();
  basic_quadric(const basic_quadric&) = delete;
  basic_quadric& operator=(const basic_quadric&) = delete;

  // 1 points, 2 lines, 3 fill; any other value leaves the style as it is.
  void DrawStyle(int style);
  GLUquadric* get() const { return _quadric; }

 private:
  GLUquadric* _quadric;
};

}  // namespace glx
