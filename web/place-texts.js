// The string ids of the "Place blocks" panel, its plan and the "Placed" cells of the map.
export const placeIds = {
  placeBlocks: 4100, name: 4101, size: 4102, alignment: 4103, addBlock: 4104, addFiles: 4105,
  blocksHint: 4106, remove: 4107, margin: 4108, from: 4109, to: 4110, reserved: 4111,
  prefix: 4112, plan: 4113, gbaAddress: 4114, moved: 4115, yes: 4116, no: 4117, placed: 4118,
  placedAt: 4119, ledger: 4120, importLedger: 4121, downloadLedger: 4122, noLedger: 4123,
  ledgerRemembered: 4124, forgetLedger: 4125, planFormat: 4126, downloadPlan: 4127,
  downloadRom: 4128, downloadPatch: 4129, fixHeader: 4130, expandTo: 4131, keepSize: 4132,
  checkPatches: 4133, patchesHint: 4134, choosePatches: 4135, needFiles: 4136, noBlocks: 4137,
  twoPatches: 4138, ledgerNotRemembered: 4139, showingBlocks: 4140,
};
