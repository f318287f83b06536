// The asset builder: writes every file the game reads from datos/. Each
// writer below produces its group of files into the given directory and
// returns false (after saying why on stderr) when a file cannot be written.
// All output is deterministic: fixed seeds, the same bytes on every run.
#pragma once

bool write_figure_assets(const char* dir);  // hombre/malo meshes, skeletons, skins
bool write_world_assets(const char* dir);   // arena, sky, item box, shot, their textures
bool write_media_assets(const char* dir);   // menu pictures, font, palette, sounds, music
