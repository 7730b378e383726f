#pragma once
// Backups table by table: every declaration table of the data folder copied
// to a backup folder, and back.
namespace qv::office {

bool FAZ_COPIA();
bool TRAZ_COPIA();

}  // namespace qv::office
