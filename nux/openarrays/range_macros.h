// Generator macros for the sources that define the 1-D to 4-D overloads. Included on purpose
// without a guard: each includer #undefs the macros after its last use.
// Range parameters of the public 1-D to 4-D members (all low bounds first, then all high bounds)
// and their conversion to a pair of extents, for the one-line definitions of the overloads.
#define NUX_R1 int32_t Lo, int32_t Hi
#define NUX_B1 \
  Ext{Lo, 0, 0, 0}, Ext { Hi, 0, 0, 0 }
#define NUX_R2 int32_t ColLo, int32_t RowLo, int32_t ColHi, int32_t RowHi
#define NUX_B2 \
  Ext{ColLo, RowLo, 0, 0}, Ext { ColHi, RowHi, 0, 0 }
#define NUX_R3 \
  int32_t ColLo, int32_t RowLo, int32_t LayLo, int32_t ColHi, int32_t RowHi, int32_t LayHi
#define NUX_B3 \
  Ext{ColLo, RowLo, LayLo, 0}, Ext { ColHi, RowHi, LayHi, 0 }
#define NUX_R4                                                                               \
  int32_t ColLo, int32_t RowLo, int32_t LayLo, int32_t SlotLo, int32_t ColHi, int32_t RowHi, \
      int32_t LayHi, int32_t SlotHi
#define NUX_B4 \
  Ext{ColLo, RowLo, LayLo, SlotLo}, Ext { ColHi, RowHi, LayHi, SlotHi }
