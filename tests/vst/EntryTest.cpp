// The exported entry of a plug-in module, loaded the way a host loads it.

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <vector>

#include "vst/AEffect.h"

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
    module = dlopen(VST_TEST_MODULE, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(module, nullptr) << dlerror();
  }
  void TearDown() override {
    if (module != nullptr) dlclose(module);
  }
  EntryProc entry(const char* name) {
    return reinterpret_cast<EntryProc>(dlsym(module, name));
  }
  void* module = nullptr;
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
