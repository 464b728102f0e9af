// TMemBasedLearner: a k-nearest-neighbour model. Its model is a data table of training rows
// whose columns are ignored, independent (inputs) or targets (outputs); a query is answered from
// the k model rows nearest to it by one of four local models. docs/membl.md gives the rules,
// the result codes and the file layouts.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "nux/frame/container.h"
#include "nux/frame/types.h"
#include "nux/host/object.h"

namespace nux {

class TDataTable;
class TMatrix;
struct TXmlElement;

// The role of a model column, stored as the column's attribute.
enum TMBLVarType : int32_t { mblVarIgnore, mblVarIndep, mblVarTarget };
// Whether distances use the raw values or the values standardized by the column statistics.
enum TMBLScalingMode : int32_t { mblUnscaled, mblStandardized };
// The distance between a query and a model row (Mahalanobis is computed as Euclidean).
enum TMBLDistMode : int32_t { mblDistEuclid, mblDistManhattan, mblDistMahalanobis };
// How the neighbours' target values become the estimate.
enum TMBLLocalModel : int32_t { mblLMAverage, mblLMWgtGauss, mblLMMajority, mblLMRegress };

// Names of the distance modes, indexed by TMBLDistMode.
extern const std::array<const char*, 3> MBLDistModeID;
// Names of the scaling modes, indexed by TMBLScalingMode.
extern const std::array<const char*, 2> MBLScalingModeID;
// Names of the local models, indexed by TMBLLocalModel.
extern const std::array<const char*, 4> MBLLocalModelID;

// Length of the neighbour lists kept per query and per model row.
constexpr int32_t MBLMaxNeighbours = 100;

namespace membl {
// The elements of the learner's XML file (in their own namespace: the Kohonen map's element
// enumeration uses some of the same names).
enum TMBLxmlTags : int32_t {
  xmlMBLId,
  xmlComment,
  xmlModelName,
  xmlModelData,
  xmlDistMode,
  xmlSclMode,
  xmlLocalModel,
  xmlNumNNb,
  xmlInvalid
};
// Element names of TMBLxmlTags, in its order.
extern const std::array<const char*, 9> MBLxmlTagNames;
}  // namespace membl

// Called at the end of ApplyModel: the 100 row numbers and distances of the neighbour list
// (row 0 and the largest double where unfilled) and the result code.
using TOnMBLModelApplied =
    std::function<void(TObject* Sender, int32_t Tag, const TIntArray& NearNix,
                       const TDoubleArray& NearNDist, int32_t errnum)>;

// The memory-based learner (docs/membl.md).
class TMemBasedLearner : public TComponent {
 public:
  // An empty 1 x 1 model, k = 3, average, Euclidean, unscaled, named "undefined".
  explicit TMemBasedLearner(TComponent* AOwner = nullptr);
  ~TMemBasedLearner() override;
  TMemBasedLearner(const TMemBasedLearner&) = delete;
  TMemBasedLearner& operator=(const TMemBasedLearner&) = delete;

  // The model table, owned by the learner. Its change events keep the learner informed, so do
  // not replace its OnChange, OnChangeSetup, OnChangeAttrib, OnResize or OnPercentDone.
  TDataTable* ModelData() const { return FModelData.get(); }

  // The model's name.
  const std::string& ModelName() const { return FModelName; }
  // Sets the model's name.
  void SetModelName(const std::string& Value) { FModelName = Value; }
  // Free text about the model.
  const std::string& Comment() const { return FComment; }
  // Sets the free text.
  void SetComment(const std::string& Value) { FComment = Value; }
  // k, the number of neighbours an estimate is made from.
  int32_t NumNearestNb() const { return FNumNearestNb; }
  // Lowers Value to the row count, then to 100, then raises it to 1; returns the value set.
  int32_t SetNumNearestNb(int32_t Value);
  // The local model of the estimates.
  TMBLLocalModel LocalModel() const { return FLocModel; }
  // Sets the local model (values outside the enumeration are ignored).
  void SetLocalModel(TMBLLocalModel Value);
  // The distance mode.
  TMBLDistMode DistMode() const { return FDistMode; }
  // Sets the distance mode (values outside the enumeration are ignored).
  void SetDistMode(TMBLDistMode Value);
  // The scaling mode.
  TMBLScalingMode ScalingMode() const { return FScalingMode; }
  // Sets the scaling mode (values outside the enumeration are ignored).
  void SetScalingMode(TMBLScalingMode Value);

  // Progress of long operations of the model table, with the learner as Sender.
  TOnPercentDoneEvent OnPercentDone;
  // A slot for the host's cross-validation abort check; the learner never calls it.
  TNotifyEvent OnCheckCVDAbort;
  // Fired by ApplyModel (not for a refused query).
  TOnMBLModelApplied OnModelApplied;
  // Fires OnPercentDone with the learner as Sender.
  void PercDone(TObject* Sender, int32_t Percent);

  // The variable type of column ix (mblVarIgnore outside 1..columns).
  TMBLVarType VarType(int32_t ix) const;
  // Stores the low byte of Value as the column's attribute; outside the table nothing happens.
  void SetVarType(int32_t ix, int32_t Value);
  // Every column gets the type.
  void SetAllVars(TMBLVarType Value);
  // Columns whose attribute is exactly 1.
  int32_t CountIndependentVars() const;
  // Columns whose attribute is exactly 2.
  int32_t CountTargetVars() const;

  // Per model column c the mean (c, 1) and sample variance (c, 2) of its raw values over all
  // rows. Kept up to date lazily: a cell write only marks it stale.
  const TMatrix& MeanVarRange() const;

  // Estimates the target entries of Sensor (one entry per model column) from the entries of
  // the independent columns; model row ExcludeObj takes no part. 0; -1 a local regression was
  // (nearly) singular or failed; -2 k not below the number of model rows or fewer than k usable
  // neighbours; -3 Sensor's length is not the column count; -4 an independent entry is NaN or
  // infinite. On -2, -3 and -4 every entry becomes 0; -3 and -4 fire no OnModelApplied.
  int32_t ApplyModel(TDoubleArray& Sensor, int32_t ExcludeObj, int32_t Tag);
  // The distance of Values (indexed by column - 1) to model row Row; NaN when Values is shorter
  // than the column count or Row is outside the table.
  double CalcDist(const TDoubleArray& Values, int32_t Row) const;

  // The 100 nearest model rows (itself included) of every model row, with their distances.
  // Out of memory: ENUXMemBLError, the earlier lists kept.
  void CalcNNOfModelData();
  // The row number of the k-th nearest row (k = 1..100) to model row index; -1 outside the
  // lists, 0 for an unfilled rank.
  int32_t kNNOfModelData(int32_t k, int32_t index) const;
  // The same as kNNOfModelData.
  int32_t GetkNNofModelData(int32_t k, int32_t index) const { return kNNOfModelData(k, index); }
  // The distance of that row; -1 outside the lists, the largest double for an unfilled rank.
  double kNNDistOfModelData(int32_t k, int32_t index) const;
  // The same as kNNDistOfModelData.
  double GetkNNDistofModelData(int32_t k, int32_t index) const {
    return kNNDistOfModelData(k, index);
  }

  // Counts, over every model row and its neighbours of ranks 2..NumNb+1, the pairs (class of
  // the row, class of the neighbour) of the categorical column VarIx, with classes numbered
  // from the smallest one: ContTab [c+1][c+1] with row sums in [j][c], column sums in [c][j]
  // and the total in [c][c]. 0; -1 bad column; -2 column not categorical; -3 class count
  // outside 2..100; -4 smallest class below 1; -5 NumNb outside 1..min(99, rows - 1).
  int32_t CalcContingencyTable(int32_t VarIx, int32_t NumNb, TInt2DArray& ContTab);

  // Writes the model as an XML file (failures raise EInOutError; an existing file is kept).
  void StoreModelXML(const std::string& FName, const std::string& DataID) const;
  // Writes the model as a binary file (failures raise EInOutError; an existing file is kept).
  void StoreModelBin(const std::string& FName, const std::string& DataID) const;
  // Replaces the model by an XML model file; DataId receives the file's id. 0; -1 no model data
  // element or an unknown element; -2 the file cannot be read; -3 not well-formed XML; -4 a
  // malformed value (k not a positive integer, a bad table). On failure nothing changes.
  int32_t LoadModelXML(const std::string& FName, std::string& DataId);
  // Replaces the model by a binary model file. 0; -1 wrong signature; -2 the file cannot be
  // read or ends early; -3 a malformed value (k not positive, an unknown mode or scale type).
  // On failure nothing changes.
  int32_t LoadModelBin(const std::string& FName, std::string& DataId);
  // One element of the XML file applied to the learner: Tag and the element's text are used
  // (for xmlModelData the text is the XML of the model table). 0; -1 for xmlInvalid; -4 a
  // malformed value (nothing changed); 1 after the model data were read.
  int32_t ProcessXmlTag(membl::TMBLxmlTags Tag, const std::string& Attr, const std::string& Text,
                        const std::string& Further, int32_t Count);

 private:
  struct TStaged;
  struct TPrepared;
  void InstallHandlers();
  void Stale(bool Stats);
  void UpdateStats() const;
  const TPrepared& Prepare() const;
  // Distances of all model rows to the query Q (prepared units, one entry per independent
  // column) into D.
  void Distances(const double* Q, double* D) const;
  // Transforms the query values (indexed by column - 1) into prepared units; false for NaN or
  // an infinity.
  bool PrepareQuery(const double* Values, TDoubleArray& Q) const;
  int32_t ApplyElement(membl::TMBLxmlTags Tag, const TXmlElement* Elem, const std::string& Text,
                       TStaged& S) const;
  void Commit(TStaged& S);
  std::string XmlText(const std::string& DataID) const;

  std::string FModelName = "undefined";
  std::string FComment;
  int32_t FNumNearestNb = 3;
  TMBLLocalModel FLocModel = mblLMAverage;
  TMBLDistMode FDistMode = mblDistEuclid;
  TMBLScalingMode FScalingMode = mblUnscaled;
  TInt2DArray FNNList;
  TDouble2DArray FNNDist;
  std::unique_ptr<TDataTable> FModelData;
  mutable std::unique_ptr<TMatrix> FMeanVarRange;
  mutable bool FStatsStale = true;
  mutable std::unique_ptr<TPrepared> FPrepared;
};

}  // namespace nux
