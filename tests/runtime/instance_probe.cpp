// A second process for the single-instance test: runs the test once and
// reports through its exit code: 20 another instance runs, 10 it was first.
#include "app/single_instance.h"

int main() {
  utility::UniqueHandle mutex;
  return popupExistingInstance(mutex) ? 20 : 10;
}
