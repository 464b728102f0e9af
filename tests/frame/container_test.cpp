// The container conventions, checked on a small container built the way the library's own are.
#include "nux/frame/container.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "nux/frame/errors.h"

namespace nux {
namespace {

class TTestContainer : public TNuxContainer,
                       public TSortExchangeSupport<TTestContainer>,
                       public TPercentDoneSupport<TTestContainer> {
 public:
  explicit TTestContainer(TComponent* AOwner = nullptr) : TNuxContainer(AOwner), FData(1, 0.0) {}

  int32_t NrOfElem() const { return static_cast<int32_t>(FData.size()); }
  double GetVal(int32_t Ix) const {
    return (Ix >= 1 && Ix <= NrOfElem()) ? FData[size_t(Ix - 1)] : 0.0;
  }
  void SetVal(int32_t Ix, double V) {
    if (Ix < 1 || Ix > NrOfElem()) return;
    FData[size_t(Ix - 1)] = V;
    Changed();
  }
  void Resize(int64_t N) {
    GuardAlloc<ENUXVectorError>(*this, msgNoMemory, [&] {
      if (N < 1 || N > std::numeric_limits<int32_t>::max()) throw std::bad_alloc();
      FData.resize(static_cast<size_t>(N));
    });
    Changed();
    Resized();
  }
  bool MakeValidElemRange(int32_t& Lo, int32_t& Hi) const {
    return MakeValidIndexRange(Lo, Hi, NrOfElem());
  }
  std::string CRCofData() const { return nux::CRCofData(std::span<const double>(FData)); }

  void Assign(const TPersistent* Source) override {
    const auto* Src = dynamic_cast<const TTestContainer*>(Source);
    if (Src == nullptr) return TNuxContainer::Assign(Source);
    FData = Src->FData;
    AssignContainerEvents(*Src);
    AssignSortExchangeEvent(*Src);
    AssignPercentDoneEvent(*Src);
  }
  void AssignTo(TPersistent* Dest) const override {
    if (auto* D = dynamic_cast<TTestContainer*>(Dest)) return D->Assign(this);
    TNuxContainer::AssignTo(Dest);
  }
  void Clone(const TTestContainer* Source) {
    if (Source == nullptr) return;
    FData.resize(Source->FData.size());
    for (int32_t I = 1; I <= Source->NrOfElem(); ++I) SetVal(I, Source->GetVal(I));
    Changed();
  }

 private:
  std::vector<double> FData;
};

struct TEventLog {
  std::vector<std::string> Events;
  void Attach(TTestContainer& C) {
    C.OnChange = [this](TObject*) { Events.push_back("change"); };
    C.OnResize = [this](TObject*) { Events.push_back("resize"); };
  }
};

TEST(Container, ResizeFiresChangeThenResizeAndReadsFireNothing) {
  TTestContainer V;
  TEventLog Log;
  Log.Attach(V);
  V.Resize(3);
  V.GetVal(2);
  V.GetVal(99);
  V.SetVal(99, 1.0);  // out of range: ignored, silent
  EXPECT_EQ(Log.Events, (std::vector<std::string>{"change", "resize"}));
}

TEST(Container, FailedGrowthRaisesUnitErrorAndKeepsTheData) {
  TTestContainer V;
  V.Resize(2);
  V.SetVal(2, 5.0);
  try {
    V.Resize(int64_t{1} << 40);
    FAIL() << "no exception";
  } catch (const ENUXVectorError& E) {
    EXPECT_STREQ(E.what(), "Component \"\": not enough memory");
  }
  EXPECT_EQ(V.NrOfElem(), 2);
  EXPECT_EQ(V.GetVal(2), 5.0);
}

TEST(Container, AssignCopiesHandlersSilentlyCloneDoesNot) {
  TTestContainer Src, ByAssign, ByClone;
  Src.Resize(2);
  Src.SetVal(1, 4.0);
  int SrcChanges = 0, SortEvents = 0;
  Src.OnChange = [&](TObject*) { ++SrcChanges; };
  Src.OnSortExchange = [&](TObject*, uint8_t, int32_t, int32_t, int32_t, int32_t) { ++SortEvents; };

  ByAssign.Assign(&Src);
  EXPECT_EQ(SrcChanges, 0);  // Assign fires nothing
  EXPECT_EQ(ByAssign.GetVal(1), 4.0);
  ByAssign.SetVal(1, 1.0);  // the copied handler now reports this container's changes
  ByAssign.SortExchange(ekElements, 1, 2, 0, 0);
  EXPECT_EQ(SrcChanges, 1);
  EXPECT_EQ(SortEvents, 1);

  int CloneChanges = 0;
  ByClone.OnChange = [&](TObject*) { ++CloneChanges; };
  ByClone.Clone(&Src);
  EXPECT_GE(CloneChanges, 1);
  EXPECT_EQ(ByClone.GetVal(1), 4.0);
  SortEvents = 0;
  ByClone.SortExchange(ekElements, 1, 2, 0, 0);
  EXPECT_EQ(SortEvents, 0);
  ByClone.Clone(nullptr);  // does nothing
  EXPECT_EQ(ByClone.NrOfElem(), 2);
}

TEST(Container, AssignFromAnotherClassRaisesConvertError) {
  TTestContainer V;
  TComponent Other(nullptr);
  EXPECT_THROW(V.Assign(&Other), EConvertError);
  EXPECT_THROW(Other.Assign(&V), EConvertError);
}

TEST(Container, EventsPassTheContainerAsSender) {
  TTestContainer M;
  TObject* Seen = nullptr;
  int32_t SeenPercent = -1;
  M.OnPercentDone = [&](TObject* Sender, int32_t P) {
    Seen = Sender;
    SeenPercent = P;
  };
  TComponent Stranger(nullptr);
  M.PercDone(&Stranger, 40);
  EXPECT_EQ(Seen, &M);
  EXPECT_EQ(SeenPercent, 40);
  M.PercDoneForwarder()(&Stranger, 55);
  EXPECT_EQ(SeenPercent, 55);

  std::vector<int32_t> Args;
  M.OnSortExchange = [&](TObject* Sender, uint8_t K, int32_t I1, int32_t I2, int32_t L, int32_t H) {
    EXPECT_EQ(Sender, &M);
    Args = {K, I1, I2, L, H};
  };
  M.SortExchange(ekRows, 3, 7, 1, 4);
  EXPECT_EQ(Args, (std::vector<int32_t>{2, 3, 7, 1, 4}));
  TTestContainer Quiet;
  Quiet.Changed();  // unassigned events do nothing
  Quiet.PercDone(nullptr, 1);
}

TEST(RangeClipping, WholeRangeClippedAndExchangedBounds) {
  struct Case {
    int32_t Lo, Hi, N;
    bool Row;
    int32_t WantLo, WantHi;
    bool WantResult;
  };
  const Case Cases[] = {
      {0, 0, 10, false, 1, 10, false},
      {12, 3, 10, false, 3, 10, true},
      {7, 3, 10, false, 3, 7, false},
      {7, 3, 10, true, 3, 7, true},
      {0, 0, 10, true, 1, 10, false},
      {-5, 4, 10, false, 1, 4, true},
      {2, 2, 10, true, 2, 2, false},
      {0, 5, 10, false, 1, 5, true},
      {5, 0, 10, true, 1, 5, true},
      {std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max(), 4, false, 1, 4,
       true},
      {0, 0, 0, false, 1, 0, false},
      {3, 5, 0, false, 0, 0, true},
  };
  for (const Case& C : Cases) {
    int32_t Lo = C.Lo, Hi = C.Hi;
    const bool R = MakeValidRange(Lo, Hi, C.N, C.Row);
    EXPECT_EQ(Lo, C.WantLo) << C.Lo << ".." << C.Hi << " of " << C.N;
    EXPECT_EQ(Hi, C.WantHi) << C.Lo << ".." << C.Hi << " of " << C.N;
    EXPECT_EQ(R, C.WantResult) << C.Lo << ".." << C.Hi << " of " << C.N;
  }
  TTestContainer V;
  V.Resize(10);
  int32_t Lo = 12, Hi = 3;
  EXPECT_TRUE(V.MakeValidElemRange(Lo, Hi));
  EXPECT_EQ(Lo, 3);
  EXPECT_EQ(Hi, 10);
}

TEST(Fingerprint, EightRegistersOverTheBytesOfEachDouble) {
  TTestContainer V;
  const std::string Crc = V.CRCofData();  // one element holding 0.0
  ASSERT_EQ(Crc.size(), 64u);
  // Every register saw one zero byte: CRC-32 of a single 0x00 byte is D202EF8D.
  for (int R = 0; R < 8; ++R) EXPECT_EQ(Crc.substr(size_t(R) * 8, 8), "D202EF8D");

  // 1.0 is 00 00 00 00 00 00 F0 3F: registers 6 and 7 differ from the rest.
  const double One = 1.0;
  const std::string C1 = CRCofData(std::span<const double>(&One, 1));
  EXPECT_EQ(C1.substr(0, 8), "D202EF8D");
  EXPECT_NE(C1.substr(48, 8), "D202EF8D");
  EXPECT_NE(C1.substr(48, 8), C1.substr(56, 8));

  // Integers: four registers; the bytes of 0x04030201 go to registers 0..3 in order.
  const int32_t I = 0x04030201;
  const std::string CI = CRCofData(std::span<const int32_t>(&I, 1));
  ASSERT_EQ(CI.size(), 32u);
  const uint8_t Expected[4] = {1, 2, 3, 4};
  for (int R = 0; R < 4; ++R) {
    const uint32_t Reg = ~CalcNextCRC32(Expected[R], 0xFFFFFFFFU);
    char Hex[9];
    std::snprintf(Hex, sizeof Hex, "%08X", Reg);
    EXPECT_EQ(CI.substr(size_t(R) * 8, 8), Hex);
  }
  EXPECT_EQ(CRCofData(std::span<const double>()), "");
}

// The span path takes four elements a step; every register must still see the plain CRC-32 of
// its byte stream, whatever the length and the position of each byte.
TEST(Fingerprint, BlockPathGivesEachRegisterItsByteStream) {
  const std::string Check = "123456789";  // CRC-32 CBF43926
  for (int Pos = 0; Pos < 8; ++Pos) {
    std::vector<double> D(Check.size());
    std::vector<int32_t> I(Check.size());
    for (size_t K = 0; K < Check.size(); ++K) {
      uint64_t W = uint64_t(uint8_t(Check[K])) << (8 * Pos);
      std::memcpy(&D[K], &W, 8);
      I[K] = int32_t(uint32_t(uint8_t(Check[K])) << (8 * (Pos % 4)));
    }
    EXPECT_EQ(CRCofData(std::span<const double>(D)).substr(size_t(Pos) * 8, 8), "CBF43926");
    EXPECT_EQ(CRCofData(std::span<const int32_t>(I)).substr(size_t(Pos % 4) * 8, 8), "CBF43926");
  }
  std::vector<double> X;
  for (int N = 0; N < 13; ++N) {
    TDataFingerprint<double> One;
    for (const double V : X) One.Add(V);
    EXPECT_EQ(CRCofData(std::span<const double>(X)), One.Result()) << N;
    X.push_back(N * -1.37e-5 + 1e300 * (N % 3 == 0));
  }
}

TEST(Fingerprint, OrderOfElementsMatters) {
  const double A[] = {1.0, 2.0}, B[] = {2.0, 1.0};
  EXPECT_NE(CRCofData(std::span<const double>(A)), CRCofData(std::span<const double>(B)));
}

TEST(Messages, ComponentAndRoutineWording) {
  TComponent C(nullptr);
  C.SetName("V1");
  EXPECT_EQ(ComponentMessage(C, "vectors have different dimensions"),
            "Component \"V1\": vectors have different dimensions");
  EXPECT_EQ(ComponentMessage(C, "Histogram", "invalid number of bins"),
            "Component \"V1.Histogram\": invalid number of bins");
  EXPECT_EQ(QuotedArgMessage("HexToDouble: invalid hex string ", "12G"),
            "HexToDouble: invalid hex string \"12G\"");
  try {
    RaiseComponentError<ENUXMatrixError>(C, "matrix is singular");
  } catch (const ENUXError& E) {
    EXPECT_STREQ(E.what(), "Component \"V1\": matrix is singular");
  }
}

TEST(Messages, ExceptionHierarchy) {
  EXPECT_TRUE((std::is_base_of_v<ENUXError, ENUXMath1Error>));
  EXPECT_TRUE((std::is_base_of_v<ENUXError, ENUXMathExp>));
  EXPECT_TRUE((std::is_base_of_v<ENUXError, ENUXWaveletError>));
  EXPECT_FALSE((std::is_base_of_v<ENUXError, ENUXSLineError>));
  EXPECT_TRUE((std::is_base_of_v<Exception, ENUXSLineError>));
}

}  // namespace
}  // namespace nux
