// What a host saves as a .fxp or .fxb: the plug-in's identity, program and chunk, read through the
// host side of the interface. Kept apart from the file format itself, which the bank tool uses without a
// host.
#include "host/FxFile.h"
#include "host/VstHost.h"

FxContent FxFile::capture(VstHost& host, FxKind kind) {
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
