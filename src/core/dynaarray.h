// TDynaArray: the one container of the catalog. A growable contiguous array
// of value-initialised records with a built-in cursor that is "published"
// into a pointer variable of the owner every time it moves.
//
// Records are C++ objects: they are moved (never copied byte-wise) when the
// block is replaced, so they may hold std::u16string and nested arrays.
//
// An array that holds nothing owns no block. Capacities follow one fixed
// ladder (CapacityFor): below one quantum of 100 records it grows by half
// from a single record (1, 2, 3, 5, 8, 12, ... 93, 100), so the many small
// arrays of a catalog (pictures, rows, cells) cost about what they hold;
// from 100 records on it is a whole number of quanta, the next one at or
// above 1.5 times the previous capacity (100, 200, 300, 500, 800, ...).
// Growth is thus geometric and appending n records costs O(n) moves in
// total. The block shrinks only when the count falls to a third of the
// capacity (or to 0, which releases it), so alternating Add and Delete at a
// boundary does not reallocate every time.
//
// When a block cannot be allocated the failure is reported through the
// allocation-failure handler (see alloc.h) with the fixed English text, the
// operation is abandoned and the old block is kept.
#pragma once

#include <cstddef>
#include <cstdint>
#include <new>
#include <utility>

#include "core/alloc.h"

template <class T>
class TDynaArray {
 public:
  static constexpr uint32_t buffersize = 100;

  TDynaArray() = default;
  explicit TDynaArray(T** typpoi) : outeraobj(typpoi) {}
  ~TDynaArray() { release(); }

  TDynaArray(const TDynaArray&) = delete;
  TDynaArray& operator=(const TDynaArray&) = delete;

  // Moving hands over the block and the cursor variable, so a record that
  // holds an array can be moved inside its own array.
  TDynaArray(TDynaArray&& o) noexcept { take(o); }
  TDynaArray& operator=(TDynaArray&& o) noexcept {
    if (this != &o) {
      release();
      take(o);
    }
    return *this;
  }

  // The owner's cursor variable; may be null.
  void SetOuter(T** typpoi) { outeraobj = typpoi; }
  T** Outer() const { return outeraobj; }

  // Positions the cursor without a bounds check (callers pass 0 <= i < count).
  T* GetObject(int32_t index) {
    aobjnr = index;
    aobj = poi + index;
    publish();
    return aobj;
  }

  // Appends one value-initialised record and positions the cursor on it.
  // Returns null when the block could not be grown (nothing changed).
  T* Add() {
    count++;
    bool replaced = false;
    if (!AllocMoreMem(replaced)) {
      count--;
      return nullptr;
    }
    if (!replaced) poi[count - 1] = T{};
    return GetObject(static_cast<int32_t>(count - 1));
  }

  // Makes room for n records in one block, so that a reader which knows its
  // count appends without growing step by step. From one quantum on the
  // block holds n rounded up to whole quanta rather than the ladder's next
  // step (growth past it continues on the ladder). Returns false when the
  // block could not be allocated; nothing changes then and nothing is
  // reported (the Adds that follow grow and report as usual). The count and
  // the cursor's record stay as they are.
  bool Reserve(uint32_t n) {
    if (n <= Capacity()) return true;
    const uint64_t records =
        n < buffersize ? CapacityFor(n) : (uint64_t(n) + buffersize - 1) / buffersize * buffersize;
    const uint64_t need = records * size;
    T* nb = need > UINT32_MAX ? nullptr : allocate(need);
    if (!nb) return false;
    for (uint32_t i = 0; i < count; ++i) nb[i] = std::move(poi[i]);
    delete[] poi;
    poi = nb;
    amemsize = static_cast<uint32_t>(need);
    if (aobjnr >= 0 && static_cast<uint32_t>(aobjnr) < count) {
      aobj = poi + aobjnr;
      publish();
    }
    return true;
  }

  // Inserts a value-initialised record at nr (nr == count appends).
  T* Insert(int32_t nr) {
    if (nr < 0 || static_cast<uint32_t>(nr) > count) return nullptr;
    count++;
    bool replaced = false;
    if (!AllocMoreMem(replaced)) {
      count--;
      return nullptr;
    }
    for (uint32_t i = count - 1; i > static_cast<uint32_t>(nr); --i) poi[i] = std::move(poi[i - 1]);
    poi[nr] = T{};
    return GetObject(nr);
  }

  // Removes record nr; the cursor is cleared afterwards.
  void Delete(int32_t nr) {
    if (nr < 0 || static_cast<uint32_t>(nr) >= count) return;
    for (uint32_t i = static_cast<uint32_t>(nr); i + 1 < count; ++i) poi[i] = std::move(poi[i + 1]);
    poi[count - 1] = T{};
    count--;
    AllocLessMem();
    clearCursor();
  }

  void Clear() {
    release();
    clearCursor();
  }

  // Swaps two records; the cursor stands on nr2 afterwards.
  void Change(int32_t nr1, int32_t nr2) {
    if (nr1 < 0 || nr2 < 0 || static_cast<uint32_t>(nr1) >= count || static_cast<uint32_t>(nr2) >= count)
      return;
    if (nr1 != nr2) std::swap(poi[nr1], poi[nr2]);
    GetObject(nr2);
  }

  void First() {
    if (count == 0) return;
    GetObject(0);
  }

  bool Next() {
    if (count == 0 || aobjnr < -1 || aobjnr >= static_cast<int64_t>(count) - 1) return false;
    GetObject(aobjnr + 1);
    return true;
  }

  // Loop idiom: First(); while (WhileNext()) { ... } -- inside the body the
  // cursor is the visited record and aobjnr is its index plus one.
  bool WhileNext() {
    if (count == 0 || aobjnr < 0 || static_cast<uint32_t>(aobjnr) >= count) return false;
    aobj = poi + aobjnr;
    publish();
    aobjnr++;
    return true;
  }

  // --- Access that leaves the cursor alone (for readers such as renderers).
  uint32_t Count() const { return count; }
  bool Empty() const { return count == 0; }
  T& operator[](uint32_t i) { return poi[i]; }
  const T& operator[](uint32_t i) const { return poi[i]; }
  T* begin() { return poi; }
  T* end() { return poi + count; }
  const T* begin() const { return poi; }
  const T* end() const { return poi + count; }

  // --- Inspection (state the cursor idiom relies on).
  T* Current() const { return aobj; }
  int32_t CursorIndex() const { return aobjnr; }
  uint32_t AllocatedBytes() const { return amemsize; }
  uint32_t Capacity() const { return size ? amemsize / size : 0; }
  const T* Block() const { return poi; }

  // The smallest capacity of the ladder that holds n records (0 for 0).
  static uint64_t CapacityFor(uint64_t n) {
    if (n == 0) return 0;
    uint64_t c = 1;
    while (c < n) {
      if (c < buffersize) {
        c = c + (c + 1) / 2;
        if (c > buffersize) c = buffersize;
      } else {
        c = (c * 3 / 2 + buffersize - 1) / buffersize * buffersize;
      }
    }
    return c;
  }
  // Bytes of the block that holds n records.
  static uint64_t BytesFor(uint64_t n) { return CapacityFor(n) * size; }
  // Bytes the array would allocate for its next Add (0 when it has room).
  uint64_t GrowthBytes() const { return count < Capacity() ? 0 : BytesFor(uint64_t(count) + 1); }

 private:
  static constexpr uint32_t size = static_cast<uint32_t>(sizeof(T));

  void publish() {
    if (outeraobj) *outeraobj = aobj;
  }
  void clearCursor() {
    aobjnr = -1;
    aobj = nullptr;
    if (outeraobj) *outeraobj = nullptr;
  }
  void release() {
    delete[] poi;
    poi = nullptr;
    count = 0;
    amemsize = 0;
    aobj = nullptr;
    aobjnr = -1;
  }
  void take(TDynaArray& o) {
    outeraobj = o.outeraobj;
    poi = o.poi;
    count = o.count;
    amemsize = o.amemsize;
    aobjnr = o.aobjnr;
    aobj = o.aobj;
    o.poi = nullptr;
    o.count = 0;
    o.amemsize = 0;
    o.aobj = nullptr;
    o.aobjnr = -1;
  }

  // Allocates a block of `bytes`, value-initialised. Null on failure.
  static T* allocate(uint64_t bytes) {
    if (!ql::AllocationAllowed(bytes)) return nullptr;
    return new (std::nothrow) T[static_cast<size_t>(bytes / size)]();
  }

  // Called after count was incremented. Returns false when the block had to
  // grow and could not (reported, old block kept).
  bool AllocMoreMem(bool& replaced) {
    replaced = false;
    if (count <= Capacity()) return true;
    const uint64_t need = BytesFor(count);
    const bool first = (count == 1 || poi == nullptr);
    T* nb = need > UINT32_MAX ? nullptr : allocate(need);
    if (!nb) {
      ql::ReportAllocationFailure(first ? 1 : 2, need);
      return false;
    }
    if (!first) {
      const uint32_t live = count - 1;
      for (uint32_t i = 0; i < live; ++i) nb[i] = std::move(poi[i]);
      delete[] poi;
    }
    poi = nb;
    amemsize = static_cast<uint32_t>(need);
    replaced = true;
    // The cursor still names a record of the old block: republish it.
    if (aobjnr >= 0 && static_cast<uint32_t>(aobjnr) < count) {
      aobj = poi + aobjnr;
      publish();
    } else if (aobj) {
      aobj = nullptr;
      publish();
    }
    return true;
  }

  // Called after count was decremented.
  void AllocLessMem() {
    if (count == 0) {
      delete[] poi;
      poi = nullptr;
      amemsize = 0;
      return;
    }
    if (count > Capacity() / 3) return;
    const uint64_t need = BytesFor(count);
    if (need >= amemsize) return;
    T* nb = allocate(need);
    if (!nb) {
      ql::ReportAllocationFailure(3, need);
      return;  // keep the larger block; the records in it are all valid
    }
    for (uint32_t i = 0; i < count; ++i) nb[i] = std::move(poi[i]);
    delete[] poi;
    poi = nb;
    amemsize = static_cast<uint32_t>(need);
  }

  T** outeraobj = nullptr;
  T* aobj = nullptr;
  T* poi = nullptr;
  uint32_t count = 0;
  int32_t aobjnr = -1;
  uint32_t amemsize = 0;
};
