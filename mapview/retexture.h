#pragma once

class Sector;
struct TextureRef;

// Gives a placed object another texture: its button shows the new image and
// its record takes the texture's name, folder and number. A light cell keeps
// its own number, since its light values are saved under that number.
void retextureSector(Sector *sector, const TextureRef &texture);
