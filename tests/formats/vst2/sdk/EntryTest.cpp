// The exported entry of a plug-in module, loaded the way a host loads it.

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "formats/vst2/sdk/AEffect.h"
#include "host/SharedLibrary.h"

namespace {

typedef AEffect* (*EntryProc)(audioMasterCallback);

std::vector<VstInt32> requests;
VstIntPtr versionAnswer = 2400;
VstIntPtr currentIdAnswer = 0;

VstIntPtr host(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
  requests.push_back(opcode);
  if (opcode == audioMasterVersion) return versionAnswer;
  if (opcode == audioMasterCurrentId) return currentIdAnswer;
  return 0;
}

class EntryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    requests.clear();
    versionAnswer = 2400;
    currentIdAnswer = 0;
    std::string why;
    ASSERT_TRUE(module.open(VST_TEST_MODULE, why)) << why;
  }
  EntryProc entry(const char* name) {
    void* symbol = module.function(name);
    EntryProc proc = nullptr;
    std::memcpy(&proc, &symbol, sizeof(proc));
    return proc;
  }
  brisendel::SharedLibrary module;
};

TEST_F(EntryTest, BothNamesLeadToAWorkingRecord) {
  for (const char* name : {"VSTPluginMain", "main"}) {
    EntryProc proc = entry(name);
    ASSERT_NE(proc, nullptr) << name;
    AEffect* effect = proc(host);
    ASSERT_NE(effect, nullptr) << name;
    EXPECT_EQ(effect->magic, kEffectMagic);
    EXPECT_EQ(effect->uniqueID, 0x54696E79);
    EXPECT_EQ(effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f), 1);
  }
  EXPECT_EQ(requests.front(), audioMasterVersion);
}

TEST_F(EntryTest, HostAnsweringVersionZeroGetsNoEffect) {
  versionAnswer = 0;
  EXPECT_EQ(entry("VSTPluginMain")(host), nullptr);
  EXPECT_EQ(requests, std::vector<VstInt32>{audioMasterVersion});  // nothing was created
}

TEST_F(EntryTest, FailedConstructionGivesNullInsteadOfAnException) {
  currentIdAnswer = 13;
  EXPECT_EQ(entry("VSTPluginMain")(host), nullptr);
  EXPECT_EQ(entry("main")(nullptr), nullptr);  // no callback at all
}

}  // namespace
