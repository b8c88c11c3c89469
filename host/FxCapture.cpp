// The plug-in's state as a preset or bank file's content.
#include "host/FxCapture.h"

#include "host/VstHost.h"

FxContent CaptureFx(VstHost& host, FxKind kind) {
  FxContent content;
  content.kind = kind;
  content.fxId = host.effect()->uniqueID;
  content.fxVersion = host.effect()->version;
  content.numPrograms = kind == FxKind::Bank ? host.effect()->numPrograms : 1;
  content.currentProgram = static_cast<VstInt32>(host.dispatch(effGetProgram));
  content.programName = host.dispatchText(effGetProgramName);
  content.chunk = host.getChunk(kind == FxKind::Program);
  return content;
}
