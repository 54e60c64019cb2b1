#include "fakes/fake_script_box.h"
#include "platform/script_box_contract.h"

namespace {

struct FakeScriptBoxFactory {
  std::unique_ptr<ScriptBox> make() { return std::make_unique<FakeScriptBox>(); }
};

}  // namespace

INSTANTIATE_TYPED_TEST_SUITE_P(Fake, ScriptBoxContract, FakeScriptBoxFactory);
