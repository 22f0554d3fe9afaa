#include "tessaldo/resources.h"

#include <QtGlobal>

// Q_INIT_RESOURCE declares the resource's initializer in the scope it is used
// in, so it must run outside any namespace.
static void InitTessaldoResource() {
  Q_INIT_RESOURCE(tessaldo);
}

namespace tessaldo {

void InitResources() {
  ::InitTessaldoResource();
}

}  // namespace tessaldo
