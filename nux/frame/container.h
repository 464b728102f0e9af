// What every container shares: the change and resize events, the optional sort-exchange and
// progress events, range clipping and the data fingerprint.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "nux/frame/dstruct.h"
#include "nux/frame/types.h"
#include "nux/host/object.h"

namespace nux {

// Clips the inclusive range Low..High to 1..N. (0, 0) means the whole range and gives false.
// Otherwise a bound outside 1..N is moved inside and the result is true; reversed bounds are
// exchanged, which sets the result only when ExchangeCounts (the row forms) is true.
// For N < 1, (0, 0) gives the empty range 1..N and any other range becomes 0..0.
bool MakeValidRange(int32_t& Low, int32_t& High, int32_t N, bool ExchangeCounts);

// Range clipping of element, column, layer and time-slot ranges.
inline bool MakeValidIndexRange(int32_t& Low, int32_t& High, int32_t N) {
  return MakeValidRange(Low, High, N, false);
}
// Range clipping of row ranges: an exchange of the bounds also counts as clipping.
inline bool MakeValidRowIndexRange(int32_t& Low, int32_t& High, int32_t N) {
  return MakeValidRange(Low, High, N, true);
}

// The data fingerprint: one CRC-32 register per byte position of the element (8 for doubles,
// 4 for 32-bit integers), each fed the bytes at its position, least significant first.
template <class T>
class TDataFingerprint {
 public:
  static_assert(sizeof(T) == 8 || sizeof(T) == 4, "fingerprints cover doubles and 32-bit ints");
  TDataFingerprint() {
    for (uint32_t& R : FRegs) R = 0xFFFFFFFFU;
  }
  // Feeds the bytes of one element.
  void Add(T Value);
  // Feeds the bytes of every element of Values, in order.
  void Add(std::span<const T> Values);
  // The complemented registers as 8 upper-case hex digits each; empty when nothing was added.
  std::string Result() const;

 private:
  uint32_t FRegs[sizeof(T)];
  bool FAny = false;
};

extern template class TDataFingerprint<double>;
extern template class TDataFingerprint<int32_t>;

// The data fingerprint of Data (see TDataFingerprint); empty for no elements.
std::string CRCofData(std::span<const double> Data);
std::string CRCofData(std::span<const int32_t> Data);

// Base class of the containers: owner and name (TComponent), OnChange and OnResize.
class TNuxContainer : public TComponent {
 public:
  // A container with owner AOwner (nullptr: none).
  explicit TNuxContainer(TComponent* AOwner = nullptr) : TComponent(AOwner) {}

  // Fired after the contents changed (Sender: the container).
  TNotifyEvent OnChange;
  // Fired after the size changed, after OnChange.
  TNotifyEvent OnResize;

  // Fires OnChange; public so that a caller who wrote into the storage can announce it.
  void Changed() {
    if (OnChange) OnChange(this);
  }
  // Fires OnResize.
  void Resized() {
    if (OnResize) OnResize(this);
  }

 protected:
  // Used by Assign: the handlers travel with the data.
  void AssignContainerEvents(const TNuxContainer& Source) {
    OnChange = Source.OnChange;
    OnResize = Source.OnResize;
  }
};

// Adds OnSortExchange to a container class Derived (CRTP, so that Sender is the container).
template <class Derived>
class TSortExchangeSupport {
 public:
  // Fired for each exchange a sort makes: kind (ekElements, ekColumns, ekRows) and indices.
  TSortExchgEvent OnSortExchange;

  // Fires OnSortExchange with Sender the container.
  void SortExchange(uint8_t ExchgKind, int32_t Index1, int32_t Index2, int32_t SpanLow,
                    int32_t SpanHigh) {
    if (OnSortExchange)
      OnSortExchange(static_cast<Derived*>(this), ExchgKind, Index1, Index2, SpanLow, SpanHigh);
  }

 protected:
  // Used by Assign: the handler travels with the data.
  void AssignSortExchangeEvent(const TSortExchangeSupport& Source) {
    OnSortExchange = Source.OnSortExchange;
  }
};

// Adds OnPercentDone to a container class Derived. PercDone has the signature of the event, so
// it can forward an inner object's progress under the container's name.
template <class Derived>
class TPercentDoneSupport {
 public:
  // Fired during long operations with the percentage done (Sender: the container).
  TOnPercentDoneEvent OnPercentDone;

  // Fires OnPercentDone with Sender the container.
  void PercDone(TObject* /*Sender*/, int32_t Percent) {
    if (OnPercentDone) OnPercentDone(static_cast<Derived*>(this), Percent);
  }
  // A handler that forwards to PercDone, for plugging into an inner object.
  TOnPercentDoneEvent PercDoneForwarder() {
    return [this](TObject* Sender, int32_t Percent) { PercDone(Sender, Percent); };
  }

 protected:
  // Used by Assign: the handler travels with the data.
  void AssignPercentDoneEvent(const TPercentDoneSupport& Source) {
    OnPercentDone = Source.OnPercentDone;
  }
};

}  // namespace nux
