#include "BenchTree.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "removal/RemovalPass.h"

using namespace engine;

namespace fs = std::filesystem;

namespace {

void Write(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
}

std::string Number(int i) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%04d", i);
  return buf;
}

std::string Code(int i) { return "QV" + Number(i); }

std::string Sq1(int i) { return "Bench Airline " + Number(i) + " (QUORVANE),B738," + Code(i); }

// Text with CR LF line ends, as the files are on the user's disk.
class CrlfText {
 public:
  void Line(const std::string& text) {
    text_ += text;
    text_ += "\r\n";
    ++lines_;
  }
  const std::string& Text() const { return text_; }
  std::size_t Lines() const { return lines_; }

 private:
  std::string text_;
  std::size_t lines_ = 0;
};

// A texture of the given size whose bytes differ from airline to airline.
std::string TextureBytes(int i, std::size_t size) {
  std::string bytes(size, '\0');
  std::uint32_t state = 2166136261u ^ static_cast<std::uint32_t>(i);
  for (char& c : bytes) {
    state = state * 1664525u + 1013904223u;
    c = static_cast<char>(state >> 24);
  }
  return bytes;
}

}  // namespace

std::string BenchDescription(int i) { return "Bench Airline " + Number(i) + " : B737-800"; }

BenchTree GenerateBenchTree(const std::string& root, const BenchSize& size) {
  BenchTree tree;
  tree.root = root;
  tree.catalogue = root + "/catalogue";
  tree.templateConfig = root + "/template/Aircraft.cfg";
  tree.templateModels = root + "/template/CSL_ICAO.csv";
  tree.staging = root + "/staging";
  tree.airlines = size.airlines;
  tree.textureBytes = size.textureBytes;
  for (const std::string& folder : {tree.catalogue, root + "/template", tree.staging}) fs::create_directories(folder);

  // The catalogue, with its sections in reverse order in the file.
  std::string catalogue = "; generated for the benchmark\r\n";
  for (int i = size.airlines - 1; i >= 0; --i) {
    catalogue += "\r\n[Airline." + std::to_string(i) + "]\r\nDescr=" + BenchDescription(i) + "\r\nSQ1=" + Sq1(i) +
                 "\r\nFolder=" + Code(i) + "\r\nData=" + Code(i) + "\r\nTitle=~" + Code(i) +
                 "\r\nSim=b737\r\nPanel=\r\nSound=\r\nModel=b738\r\n";
    const std::string texture = TextureBytes(i, size.textureBytes);
    Write(tree.catalogue + "/" + Code(i) + ".dat", texture);
    fs::create_directories(tree.staging + "/texture." + Code(i));
    Write(tree.staging + "/texture." + Code(i) + "/csl.0af", texture);
  }
  Write(tree.catalogue + "/Airlines.dat", catalogue);

  // Model list: every airline's line from an earlier run, the legacy
  // lines, and foreign lines for the rest.
  CrlfText models;
  for (int i = 0; i < size.airlines; ++i) models.Line(Sq1(i));
  for (const LegacyAirline& row : LegacyAirlineTable) {
    if (row.label[0]) models.Line(std::string(row.label) + ",B738,LEG," + row.code);
  }
  for (int i = 0; models.Lines() < size.modelLines; ++i) {
    models.Line("Foreign Carrier " + std::to_string(i) + " : A320,A320,F" + std::to_string(i) + ",Foreign " +
                std::to_string(i));
  }

  // Configuration file: foreign sections and legacy sections mixed, then
  // the sections an earlier run appended.
  CrlfText config;
  config.Line("[General]");
  config.Line("version=1.1");
  std::size_t marked = static_cast<std::size_t>(size.airlines) * 10;
  int section = 0;
  std::size_t legacy = 0;
  while (config.Lines() + marked + 10 <= size.configLines) {
    config.Line("");
    config.Line("[fltsim." + std::to_string(section) + "]");
    if (section % 25 == 7 && legacy < kLegacyRows && LegacyAirlineTable[legacy].code[0]) {
      config.Line(std::string("title=") + LegacyAirlineTable[legacy++].code);
    } else {
      config.Line("Title=Foreign Carrier " + std::to_string(section) + " A320");
    }
    config.Line("sim=a320");
    config.Line("model=");
    config.Line("panel=");
    config.Line("sound=");
    config.Line("texture=F" + std::to_string(section));
    config.Line("atc_airline=FOREIGN");
    config.Line("ui_type=A320");
    ++section;
  }
  for (int i = 0; i < size.airlines; ++i, ++section) {
    config.Line("[fltsim." + std::to_string(section) + "]");
    config.Line("Title=~" + Code(i));
    config.Line("Sim=b737");
    config.Line("Model=b738");
    config.Line("Panel=");
    config.Line("Sound=");
    config.Line("Texture=" + Code(i));
    config.Line("quorvane=" + Sq1(i));
    config.Line("checklists=");
    config.Line("");
  }
  Write(tree.templateConfig, config.Text());
  Write(tree.templateModels, models.Text());
  tree.configLines = config.Lines();
  tree.modelLines = models.Lines();
  return tree;
}

void PrepareRound(BenchTree* tree, const std::string& round) {
  const std::string folder = tree->root + "/" + round;
  tree->fs = folder + "/FS2002";
  tree->csl = tree->fs + "/aircraft/csl";
  tree->config = tree->csl + "/Aircraft.cfg";
  tree->squawkBox = folder + "/SquawkBox";
  tree->models = tree->squawkBox + "/CSL_ICAO.csv";
  fs::create_directories(tree->csl);
  fs::create_directories(tree->squawkBox);
  Write(tree->fs + "/FS2002.exe", "");
  fs::copy_file(tree->templateConfig, tree->config, fs::copy_options::overwrite_existing);
  fs::copy_file(tree->templateModels, tree->models, fs::copy_options::overwrite_existing);
}
