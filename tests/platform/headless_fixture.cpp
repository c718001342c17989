// The headless back end's fixture: fresh host state for every case.
#include "platform_fixture.h"

namespace sgtest {

void PlatformTest::SetUp() {
  host::Reset();
  Received().clear();
}

}  // namespace sgtest
