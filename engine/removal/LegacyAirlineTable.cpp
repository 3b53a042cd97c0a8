#include "removal/RemovalPass.h"

namespace engine {

// Labels keep the spacing and punctuation they were installed with; the
// two identical rows are as the old releases had them.
const LegacyAirline LegacyAirlineTable[kLegacyRows] = {
    {"Aerolinea Sur : B737-200", "~ALS732"},
    {"Aerolinea Sur : B737-400", "~ALS734"},
    {"Baltic Wings : A320", "~BWG320"},
    {"Baltic Wings: A321", "~BWG321"},
    {"Cascade Air : DHC8-300", "~CSD83"},
    {"Cascade Air : B757-200", "~CSD752"},
    {"Dunmore Express : ATR72", "~DMX72"},
    {"Eastern Meridian : B767-300", "~EMR763"},
    {"Eastern Meridian : B747-400", "~EMR744"},
    {"Fjordline Air : MD-82", "~FJA82"},
    {"Fjordline Air :F100", "~FJA100"},
    {"Gulfstar : A330-300", "~GST333"},
    {"Harbour Air Cargo : B727-200F", "~HAC72F"},
    {"Iberis : A319", "~IBS319"},
    {"Iberis : A340-600", "~IBS346"},
    {"Jadewing - B777-200", "~JDW772"},
    {"Kestrel Airways : BAe146", "~KST146"},
    {"Kestrel Airways : Avro RJ85", "~KSTRJ85"},
    {"Lakeland Air : Dash 8-100", "~LKL81"},
    {"Meridiana Nord : A321", "~MNR321"},
    {"Northcape : B737-800", "~NCP738"},
    {"Northcape : B737-800", "~NCP738"},
    {"Orion Atlantic : DC-10-30", "~ORA103"},
    {"Pacifica : B747-400", "~PCF744"},
    {"Quillon Air : Fokker 70", "~QLN70"},
    {"Rivera Regional : CRJ200", "~RVR200"},
    {"Sundance : B757-200", "~SND752"},
    {"Tasman Blue : A320", "~TSB320"},
    {"Tasman Blue : B767-300ER", "~TSB763"},
    {"Umbra Air : MD-11", "~UMB11"},
    {"Valley Link : ERJ145", "~VLK145"},
    {"Westwind : B737-300", "~WWD733"},
    {"Xanthe Air : A300-600", "~XNT306"},
    {"Zephyr Int'l : B777-300", "~ZPH773"},
    {"", ""}, {"", ""}, {"", ""}, {"", ""}, {"", ""}, {"", ""},
};

}  // namespace engine
