// TKohonen: a self-organising map of SizeX x SizeY neurons with NrOfInSens weights each, trained
// without supervision on the rows of a data matrix, then asked for the neuron that best matches
// an input.
#pragma once

#include <array>
#include <cstdint>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "nux/frame/types.h"
#include "nux/host/object.h"

namespace nux {

class TMat3D;
class TMatrix;
class TVector;
class TStream;
struct TXmlElement;

// The elements of the map's XML form, in this order.
enum TKohonenXMLTag : int32_t {
  xmlSizeX,
  xmlSizeY,
  xmlComment,
  xmlNrInsens,
  xmlMaxNeighb,
  xmlMaxSteps,
  xmlMaxAlpha,
  xmlCurStep,
  xmlCyclic,
  xmlCell,
  xmlMeanStdDev,
  xmlEndKohonen,
  xmlInvalid
};

// Element names of TKohonenXMLTag, in its order.
extern const std::array<const char*, 13> KohonenXMLTagNames;

// A self-organising map. Weights are kept in standardized units (those of the training data
// after StandardizeData); Weight reports them in the units of the input.
class TKohonen : public TComponent {
 public:
  // A 1 x 1 map of one input, 200 steps, radius 2, rate 1, plain grid; random weights.
  explicit TKohonen(TComponent* AOwner = nullptr);
  ~TKohonen() override;
  TKohonen(const TKohonen&) = delete;
  TKohonen& operator=(const TKohonen&) = delete;

  // Grid columns.
  int32_t SizeX() const { return FSizeX; }
  // Below 1 ignored; otherwise the weights become a new all-zero array of the new size.
  void SetSizeX(int32_t Value);
  // Grid rows.
  int32_t SizeY() const { return FSizeY; }
  // Below 1 ignored; otherwise the weights become a new all-zero array of the new size.
  void SetSizeY(int32_t Value);
  // Number of inputs (weights per neuron).
  int32_t NrOfInSens() const { return FNrInSens; }
  // Below 1 ignored; otherwise zero weights, a zero data matrix of Value columns, means 0 and
  // deviations 1.
  void SetNumInsens(int32_t Value);
  // Initial neighbourhood radius (2 at first).
  int32_t InitialNeighbors() const { return FMaxNeighb; }
  // A negative radius is ignored (it would leave even the winner untrained).
  void SetInitialNeighbors(int32_t Value);
  // Number of training steps (200 at first).
  int32_t NrOfTrnSteps() const { return FMaxSteps; }
  // Below 1 ignored (the schedules divide by it).
  void SetNrOfTrnSteps(int32_t Value);
  // Initial learning rate (1 at first).
  double InitialAlpha() const { return FMaxAlpha; }
  // Sets the initial learning rate.
  void SetInitialAlpha(double Value) { FMaxAlpha = Value; }
  // The grid wraps around in both directions.
  bool Cyclic() const { return FCyclic; }
  // Sets Cyclic.
  void SetCyclic(bool Value) { FCyclic = Value; }
  // A free text stored with the map.
  const std::string& Comment() const { return FComment; }
  // Sets Comment.
  void SetComment(const std::string& Value) { FComment = Value; }
  // The step the next epoch runs (1 at first).
  int32_t CurrentStep() const { return FCurStep; }
  // Radius of the epoch run last.
  int32_t CurrentNeighbors() const { return FCurNeighb; }
  // Learning rate of the epoch run last.
  double CurrentAlpha() const { return FCurAlpha; }
  // Number of training objects (rows of the training data).
  int32_t NrOfTrnObjects() const { return FNrTrnObj; }
  // Set at construction; not used by the map.
  bool Reserved() const { return FReserved; }

  // The training data: NrOfInSens columns, one object per row.
  const TMatrix& TrainData() const { return *FDataMat; }
  // Copies Value (nullptr: nothing) as training data: NrOfInSens := its columns, zero weights,
  // means 0 and deviations 1.
  void SetDataMat(const TMatrix* Value);
  // Standardizes the training data column by column, keeping each column's mean and deviation
  // so that weights and inputs stay in the data's units. A column without positive finite
  // deviation stays as it is (and records mean 0, deviation 1). A second call before new data
  // or a new input count changes nothing and returns false; otherwise true.
  bool StandardizeData();
  // The column means used for standardizing (0 when unstandardized).
  const TVector& Means() const { return *MeanVec; }
  // The column deviations used for standardizing (1 when unstandardized).
  const TVector& StdDevs() const { return *StdDevVec; }

  // Weight Wi of neuron (Ix, Iy) in the units of the input: stored weight x deviation + mean;
  // 0 outside the map.
  double Weight(int32_t Ix, int32_t Iy, int32_t Wi) const;
  // Weight (the published name of the accessor).
  double GetWeight(int32_t Ix, int32_t Iy, int32_t Wi) const { return Weight(Ix, Iy, Wi); }
  // The weights as stored, in standardized units, [x][y][input].
  const TMat3D& StoredWeights() const { return *FKohMat; }

  // Every weight, x outermost, then y, then input, := (Random() - 0.5) x 0.2.
  void SetWeigtsToRandom();
  // CurrentStep := 1, random weights, then ContinueTraining.
  void Trainit();
  // Runs epochs from CurrentStep to NrOfTrnSteps - 1 (step 1 alone when NrOfTrnSteps is 1),
  // reporting after each through OnFeedback and the library's progress hook; stops after an
  // epoch when AbortTraining was called or AbortMathProc is set. Nothing when the last step is
  // done. A row with a NaN teaches nothing. The same seed (SetRandSeed) before Trainit gives the
  // same weights bit for bit.
  void ContinueTraining();
  // Asks the running training to stop after the current epoch.
  void AbortTraining() { FAbort = true; }
  // The neuron nearest to InData (in its units): BestIx, BestIy and the squared distance in
  // standardized units. The first smallest wins, NaN distances last, so there always is one.
  // Result 0, or -1 (outputs untouched) when InData has not NrOfInSens elements.
  int32_t ApplyIt(const TVector& InData, int32_t& BestIx, int32_t& BestIy, double& Distance) const;
  // Calls OnFeedback with this map as Sender when assigned.
  void DoFeedback(int32_t Percent);
  // Progress of a training, in percent of NrOfTrnSteps, after each epoch.
  TOnPercentDoneEvent OnFeedback;

  // ---- XML (kohonen_xml.cpp); results are TXmlResult codes ----
  // Writes the map as one "kohonen" element (attribute dataid = DataID), with the XML declaration
  // first when CreateHeader. xrOK or xrCannotWrite.
  int32_t WriteToOpenXMLFile(std::ostream& Out, bool CreateHeader, const std::string& DataID) const;
  // The same into a stream, at its position.
  int32_t WriteToXMLStream(TStream& OutStream, bool CreateHeader, const std::string& DataID) const;
  // A whole document in file FName, written atomically (an existing file survives a failure).
  int32_t SaveAsXMLFile(const std::string& FName, const std::string& DataID) const;
  // Reads the first "kohonen" element whose dataid is DataID (any, for an empty DataID) from
  // the rest of the stream. On any failure the map is left unchanged. The training data become
  // a zero 1-row matrix; the file holds the map, not its data.
  int32_t ReadFromXMLStream(TStream& InStream, const std::string& DataID);
  // The same from the rest of an open text stream.
  int32_t ReadFromOpenXMLFile(std::istream& In, const std::string& DataID);
  // The same from file FName.
  int32_t LoadFromXMLFile(const std::string& FName, const std::string& DataID);

 private:
  int32_t LoadFromDocument(int32_t ReadResult, const TXmlElement& Root, const std::string& DataID);
  std::string XmlText(bool CreateHeader, const std::string& DataID) const;
  void NewWeights(int32_t Nx, int32_t Ny, int32_t Nin);
  // The weights with component k of neuron j = (x-1) SizeY + (y-1) at k * SizeX SizeY + j.
  std::vector<double> WeightsByComponent() const;
  void StoreWeights(const std::vector<double>& ByComponent);

  int32_t FMaxNeighb = 2;
  std::string FComment;
  int32_t FCurNeighb = 2;
  int32_t FMaxSteps = 200;
  int32_t FCurStep = 1;
  double FMaxAlpha = 1.0;
  double FCurAlpha = 1.0;
  std::unique_ptr<TMat3D> FKohMat;
  int32_t FSizeX = 1;
  int32_t FSizeY = 1;
  int32_t FNrInSens = 1;
  int32_t FNrTrnObj = 1;
  std::unique_ptr<TVector> MeanVec;
  std::unique_ptr<TVector> StdDevVec;
  bool FCyclic = false;
  bool FAbort = false;
  bool FReserved = true;
  std::unique_ptr<TMatrix> FDataMat;
  bool FStandardized = false;  // StandardizeData ran on the present data
};

}  // namespace nux
