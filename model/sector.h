#pragma once

#include <QObject>
#include <cstdint>
#include <memory>
#include <string>

class QPushButton;

// Lighting block of a placed object. Only light cells ("Lightmap") use it;
// every other kind keeps these defaults.
struct SectorLighting
{
    int32_t emissionRadius = 0;
    int32_t emissionIntensity = 255;
    double blinkDelay = 0.5;
    int32_t emission = 10;
    int32_t emissionMin = 0;
    int32_t emissionMax = 255;
    bool isDynamic = false;
    bool randomIntensity = false;
    bool isLightEmitter = false;
};

// A texture as the gallery hands it out: the image is textureDir + textureName,
// relative to the working directory.
struct TextureRef
{
    std::string textureName;
    std::string textureDir;
    int32_t textureId = -1;
    // The texture reference of a loaded object whose image the editor did not
    // take (missing, out of the level's folder, no image it shows), exactly as
    // the file had it: a save writes it back and copies no image. Shared by
    // the objects of one definition; null for every other texture.
    std::shared_ptr<const std::string> keptReference;

    std::string imagePath() const { return textureDir + textureName; }
};

// Property record of one placed object. mapX/mapY are its identity within its
// layer; worldX/worldY follow the view (pan and zoom).
struct SectorProperties
{
    SectorLighting lighting;
    double worldX = 0;
    double worldY = 0;
    int32_t mapX = 0;
    int32_t mapY = 0;
    QPushButton *button = nullptr;
    std::string textureName;
    std::string textureDir;
    int32_t textureId = -1;
    std::string kind;
    std::string subtype;
    // See TextureRef::keptReference.
    std::shared_ptr<const std::string> keptReference;
};

// One object in one cell of one layer. Owns its property record and, through
// it, the flat button that shows the object on the map widget. The layer
// controller's registry decides when a sector is destroyed.
class Sector : public QObject
{
    Q_OBJECT

public:
    explicit Sector(SectorProperties *properties, QObject *parent = nullptr);
    ~Sector() override;

    void setLighting(const SectorLighting &lighting);
    void setSubtype(const std::string &subtype);
    // Replaces the texture fields only; callers that retexture set the icon.
    void setTexture(const TextureRef &texture);
    void setWorldPosition(double x, double y);
    void setTransparentForMouseEvents(bool transparent);

    SectorProperties *properties = nullptr;
};
