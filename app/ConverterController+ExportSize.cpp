// The export-size menu: the custom item frees the width and height fields, the fractions of the
// natural size lock them, and the fixed sizes fill and lock them.
#include "app/ConverterController.h"

namespace {

struct FixedSize {
  SInt32 tag;
  SInt32 width;
  SInt32 height;
};
constexpr FixedSize kFixedSizes[] = {{11, 176, 144}, {12, 128, 96}, {13, 96, 80}};

}  // namespace

SInt32 ConverterController::fitKilobytes() {
  if (!popupFitSize) return 0;
  const SInt32 tag = tagOfSelectedItem(popupFitSize);
  if (tag != kFitCustomTag) return tag > 0 ? tag : 0;
  const SInt32 typed = fitSize ? fitSize->intValue() : 0;
  return typed > 0 ? typed : 0;
}

// A limit the menu offers is chosen there; any other is typed into the field beside it.
void ConverterController::showFitKilobytes(SInt32 kilobytes) {
  if (!popupFitSize) return;
  NSInteger index = popupFitSize->indexOfItemWithTag(kilobytes > 0 ? kilobytes : 0);
  if (index < 0) index = popupFitSize->indexOfItemWithTag(kFitCustomTag);
  popupFitSize->selectItemAtIndex(index);
  if (fitSize && kilobytes > 0) fitSize->setIntValue(kilobytes);
  selectFitSize(nullptr);
}

void ConverterController::selectFitSize(id sender) {
  if (fitSize) fitSize->setEnabled(tagOfSelectedItem(popupFitSize) == kFitCustomTag ? YES : NO);
}

// A fraction of the natural size is known only once a movie is: until then the fields show a dash,
// not a number no conversion would use.
void ConverterController::showComputedSize(SInt32 sizeTag) {
  if (sizeTag < 1 || sizeTag > 4) return;
  if (m_movieNaturalSize.width <= 0) {
    widthMov->setStringValue("–");
    heightMov->setStringValue("–");
    return;
  }
  widthMov->setDoubleValue(m_movieNaturalSize.width / sizeTag);
  heightMov->setDoubleValue(m_movieNaturalSize.height / sizeTag);
}

void ConverterController::selectExportSize(id sender) {
  const SInt32 tag = tagOfSelectedItem(popupExportSize);
  m_nDefaultSizeIndex = tag;

  if (tag == 0) {
    // Back from a size still to be computed: the custom size last shown.
    if (widthMov->doubleValue() <= 0) widthMov->setDoubleValue(m_nDefaultSizeX);
    if (heightMov->doubleValue() <= 0) heightMov->setDoubleValue(m_nDefaultSizeY);
    widthMov->setEnabled(YES);
    heightMov->setEnabled(YES);
    return;
  }
  if (tag >= 1 && tag <= 4) {
    showComputedSize(tag);
    widthMov->setEnabled(NO);
    heightMov->setEnabled(NO);
    return;
  }
  for (const FixedSize& size : kFixedSizes) {
    if (size.tag != tag) continue;
    m_nDefaultSizeX = size.width;
    m_nDefaultSizeY = size.height;
    widthMov->setDoubleValue(size.width);
    heightMov->setDoubleValue(size.height);
    widthMov->setEnabled(NO);
    heightMov->setEnabled(NO);
    return;
  }
}
