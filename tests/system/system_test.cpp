// The machine survey reads the kernel and processor texts it is pointed at, and the requirements check
// accepts exactly the machines with a 2.4-or-later kernel and (on x86) MMX, refusing when the processor
// cannot be identified at all.
#include <gtest/gtest.h>

#include <clocale>
#include <cstring>
#include <string>

#include "gui/SDisplay.h"
#include "system/SSystemData.h"

using tovo::system::SKernelFiles;
using tovo::system::SOperatingSystemData;
using tovo::system::SProcessorData;
using tovo::system::SSystemData;
using tovo::system::SSystemSources;

namespace {

const std::string kFixtures = std::string(VANTORINE_TEST_DIR) + "/fixtures/";

struct Fixture {
  std::string cpuinfo, ostype, osrelease, version;
  SSystemSources Sources() const {
    SSystemSources sources;
    sources.cpuinfo = cpuinfo.c_str();
    sources.kernel.ostype = ostype.c_str();
    sources.kernel.osrelease = osrelease.c_str();
    sources.kernel.version = version.c_str();
    return sources;
  }
};

Fixture Machine(const char* cpuinfo, const char* release) {
  return {kFixtures + cpuinfo, kFixtures + "ostype", kFixtures + release, kFixtures + "version"};
}

}  // namespace

TEST(OperatingSystemData, ReleaseDecidesAndTextsAreJoinedInOrder) {
  struct Case {
    const char* release;
    bool qualifies;
  } cases[] = {{"osrelease-2.2.19", false}, {"osrelease-2.4", true}, {"osrelease-5.15.0-91", true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.release);
    Fixture f = Machine("cpuinfo-four-cores", c.release);
    SOperatingSystemData os;
    SKernelFiles files = f.Sources().kernel;
    os.QueryFeatures(files);
    EXPECT_EQ(c.qualifies, os.Qualifies());
    EXPECT_TRUE(os.Result());
    std::string release = c.release + std::strlen("osrelease-");
    if (release == "5.15.0-91") release += "-generic";
    EXPECT_EQ("Linux\n" + release + "\n#101-Ubuntu SMP Tue Nov 14 13:30:08 UTC 2023\n", os.Text());
  }
}

TEST(OperatingSystemData, MissingFilesLeaveTheKernelQualifying) {
  SKernelFiles files;
  std::string missing = kFixtures + "no-such-file";
  std::string release = kFixtures + "osrelease-2.2.19";
  files.ostype = missing.c_str();
  files.osrelease = missing.c_str();
  files.version = release.c_str();
  SOperatingSystemData os;
  os.QueryFeatures(files);
  EXPECT_TRUE(os.Qualifies());
  EXPECT_FALSE(os.Result());
  EXPECT_STREQ("2.2.19\n", os.Text());
}

TEST(OperatingSystemData, DecimalCommaLocaleDoesNotChangeTheVerdict) {
  // Hosts may switch LC_NUMERIC; "2.6" must not read as 2 there.
  const char* previous = std::setlocale(LC_NUMERIC, nullptr);
  std::string saved = previous ? previous : "C";
  bool switched = std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr;
  Fixture f = Machine("cpuinfo-four-cores", "osrelease-2.4");
  SOperatingSystemData os;
  os.QueryFeatures(f.Sources().kernel);
  std::setlocale(LC_NUMERIC, saved.c_str());
  EXPECT_TRUE(os.Qualifies()) << (switched ? "under de_DE" : "locale not installed");
}

TEST(ProcessorData, ReadsVendorModelClockFeaturesAndCoreCount) {
  SProcessorData cpu;
  cpu.QueryRegistry((kFixtures + "cpuinfo-four-cores").c_str());
  EXPECT_TRUE(cpu.WasRead());
  EXPECT_STREQ("GenuineIntel", cpu.Vendor());
  EXPECT_STREQ("Intel(R) Xeon(R) Gold 6148 CPU @ 2.40GHz", cpu.Model());
  EXPECT_EQ(2400, cpu.ClockRate());
  EXPECT_EQ(SProcessorData::kMMX | SProcessorData::kSSE | SProcessorData::kSSE2, cpu.Features());
  // The first processor is numbered 0, so the "cpu cores" line gives the count.
  EXPECT_EQ(4, cpu.Count());
}

TEST(ProcessorData, CountFromProcessorLineAndMissingFieldsStayEmpty) {
  SProcessorData cpu;
  cpu.QueryRegistry((kFixtures + "cpuinfo-counted").c_str());
  EXPECT_EQ(2, cpu.Count());
  EXPECT_EQ(1667, cpu.ClockRate());
  EXPECT_EQ(SProcessorData::kMMX | SProcessorData::kSSE | SProcessorData::k3DNow, cpu.Features());

  cpu.QueryRegistry((kFixtures + "cpuinfo-arm").c_str());
  EXPECT_TRUE(cpu.WasRead());
  EXPECT_STREQ("", cpu.Vendor());
  EXPECT_STREQ("", cpu.Model());
  EXPECT_EQ(0, cpu.ClockRate());
  EXPECT_EQ(0u, cpu.Features());
  // Neither a positive processor number nor "cpu cores": the system's own count.
  EXPECT_GE(cpu.Count(), 1);
}

TEST(ProcessorData, OnlyTheHeadOfTheFileCounts) {
  SProcessorData cpu;
  cpu.QueryRegistry((kFixtures + "cpuinfo-mmx-too-late").c_str());
  EXPECT_TRUE(cpu.WasRead());
  EXPECT_EQ(0u, cpu.Features());
  EXPECT_EQ(2, cpu.Count());
}

TEST(ProcessorData, UnreadableOrEmptyFileIsReportedAndClearsEverything) {
  SProcessorData cpu;
  cpu.QueryRegistry((kFixtures + "cpuinfo-four-cores").c_str());
  ASSERT_NE(0u, cpu.Features());

  testing::internal::CaptureStderr();
  cpu.QueryRegistry((kFixtures + "no-such-file").c_str());
  EXPECT_EQ("Error: Reading /proc/cpuinfo failed (not found).\n", testing::internal::GetCapturedStderr());
  EXPECT_FALSE(cpu.WasRead());
  EXPECT_EQ(0u, cpu.Features());
  EXPECT_EQ(0, cpu.Count());
  EXPECT_EQ(0, cpu.ClockRate());

  cpu.QueryRegistry((kFixtures + "cpuinfo-four-cores").c_str());
  testing::internal::CaptureStderr();
  cpu.QueryRegistry((kFixtures + "empty").c_str());
  EXPECT_EQ("Error: Reading /proc/cpuinfo failed (no data).\n", testing::internal::GetCapturedStderr());
  EXPECT_EQ(0u, cpu.Features());
}

TEST(SystemData, GatherBuildsTextsAndFlags) {
  Fixture f = Machine("cpuinfo-four-cores", "osrelease-5.15.0-91");
  SSystemData data(f.Sources());
  data.Gather();
  EXPECT_TRUE(data.OsQualifies());
  EXPECT_TRUE(data.HasMMX());
  EXPECT_TRUE(data.HasSSE());
  EXPECT_TRUE(data.HasSSE2());
  EXPECT_FALSE(data.Has3DNow());
  EXPECT_EQ(2400, data.ClockRate());
  EXPECT_EQ(4, data.ProcessorCount());
  EXPECT_STREQ("CPU Type: GenuineIntel\nCPU Model: Intel(R) Xeon(R) Gold 6148 CPU @ 2.40GHz\nCPU Count: 4",
               data.CpuText().Get());
  EXPECT_STREQ("Linux\n5.15.0-91-generic\n#101-Ubuntu SMP Tue Nov 14 13:30:08 UTC 2023\n", data.OsText().Get());
  EXPECT_TRUE(data.Qualifies(false, false));
  EXPECT_TRUE(data.Qualifies(true, false));
  EXPECT_TRUE(data.Qualifies(true, true));
  EXPECT_STREQ("", data.ErrorText(true, true).Get());
}

TEST(SystemData, RequirementsRefuseOldKernelsAndMissingExtensions) {
  {
    Fixture f = Machine("cpuinfo-four-cores", "osrelease-2.2.19");
    SSystemData data(f.Sources());
    data.getOSInfos();
    data.getCPUInfos();
    EXPECT_FALSE(data.Qualifies(false, false));
    EXPECT_STREQ("Error: The kernel is older than release 2.4.\n", data.ErrorText(false, false).Get());
  }
  {
    // MMX, SSE and 3DNow! but no SSE2: fine unless SSE2 is asked for.
    Fixture f = Machine("cpuinfo-counted", "osrelease-5.15.0-91");
    SSystemData data(f.Sources());
    data.getOSInfos();
    data.getCPUInfos();
    EXPECT_TRUE(data.Qualifies(false, false));
    EXPECT_TRUE(data.Qualifies(true, false));
    EXPECT_FALSE(data.Qualifies(false, true));
    EXPECT_STREQ("Error: The processor lacks SSE2.\n", data.ErrorText(false, true).Get());
  }
}

TEST(SystemData, MmxIsRequiredOnlyWhereItExists) {
  for (const char* cpuinfo : {"cpuinfo-mmx-too-late", "cpuinfo-arm"}) {
    SCOPED_TRACE(cpuinfo);
    Fixture f = Machine(cpuinfo, "osrelease-5.15.0-91");
    SSystemData data(f.Sources());
    data.getOSInfos();
    data.getCPUInfos();
    EXPECT_FALSE(data.HasMMX());
    EXPECT_EQ(!SSystemData::MmxApplies(), data.Qualifies(false, false));
    EXPECT_EQ(SSystemData::MmxApplies(), std::strstr(data.ErrorText(false, false).Get(), "MMX") != nullptr);
  }
#if defined(__i386__) || defined(__x86_64__)
  EXPECT_TRUE(SSystemData::MmxApplies());
#else
  EXPECT_FALSE(SSystemData::MmxApplies());
#endif
}

TEST(SystemData, UnreadableProcessorTextRefusesEverywhere) {
  Fixture f = Machine("no-such-file", "osrelease-5.15.0-91");
  SSystemData data(f.Sources());
  testing::internal::CaptureStderr();
  data.Gather();
  testing::internal::GetCapturedStderr();
  EXPECT_FALSE(data.HasMMX() || data.HasSSE() || data.HasSSE2() || data.Has3DNow());
  EXPECT_FALSE(data.Qualifies(false, false));
  testing::internal::CaptureStderr();
  data.ErrorMessage(false, false);
  EXPECT_EQ("Error: The processor could not be identified.\n", testing::internal::GetCapturedStderr());
}

TEST(SystemData, TheRunningMachineIsSurveyed) {
  SSystemData data;
  data.Gather();
  EXPECT_TRUE(data.OsQualifies());
  EXPECT_GE(data.ProcessorCount(), 1);
  EXPECT_EQ(0, std::strncmp(data.CpuText().Get(), "CPU Type: ", 10));
  EXPECT_NE(nullptr, std::strstr(data.OsText().Get(), "Linux"));
  // The monitor geometry is made once; without an X connection it lists no monitors.
  tovo::gui::SDisplay* displays = data.Displays();
  ASSERT_NE(nullptr, displays);
  data.getDisplayInfos();
  EXPECT_EQ(displays, data.Displays());
}
