// The record layouts of the 28 registers: every field with its name, 1-based position and
// width, in record order from position 1 to the record end without gaps. The key is the first
// key-length characters of the record. One table per register; Transfer, Clear and Build work on
// them generically.
#include "registers/layouts.h"

#include <unordered_map>

#include <array>

namespace kvor::registers {

namespace {

constexpr Field kSYS_FRTG[] = {
    {"FRTG_P001", 1, 3},    {"FRTG_P004", 4, 25},   {"FRTG_P029", 29, 2},   {"FRTG_P031", 31, 6},
    {"FRTG_P037", 37, 4},   {"FRTG_P041", 41, 2},   {"FRTG_P043", 43, 1},   {"FRTG_P044", 44, 25},
    {"FRTG_P069", 69, 25},  {"FRTG_P094", 94, 20},  {"FRTG_P114", 114, 20}, {"FRTG_P134", 134, 30},
    {"FRTG_P164", 164, 8},  {"FRTG_P172", 172, 3},  {"FRTG_P175", 175, 1},  {"FRTG_P176", 176, 1},
    {"FRTG_P177", 177, 1},  {"FRTG_P178", 178, 1},  {"FRTG_P179", 179, 1},  {"FRTG_P180", 180, 1},
    {"FRTG_P181", 181, 2},  {"FRTG_P183", 183, 15}, {"FRTG_P198", 198, 15}, {"FRTG_P213", 213, 10},
    {"FRTG_P223", 223, 24}, {"FRTG_P247", 247, 31}, {"FRTG_P278", 278, 20}, {"FRTG_P298", 298, 1},
    {"FRTG_P299", 299, 4},  {"FRTG_P303", 303, 41}, {"FRTG_P344", 344, 22}, {"FRTG_P366", 366, 1},
    {"FRTG_P367", 367, 1},  {"FRTG_P368", 368, 1},  {"FRTG_P369", 369, 1},  {"FRTG_P370", 370, 1},
    {"FRTG_P371", 371, 1},  {"FRTG_P372", 372, 2},  {"FRTG_P374", 374, 1},  {"FRTG_P375", 375, 1},
    {"FRTG_P376", 376, 1},  {"FRTG_P377", 377, 1},  {"FRTG_P378", 378, 8},  {"FRTG_P386", 386, 1},
    {"FRTG_P387", 387, 1},  {"FRTG_P388", 388, 9},  {"FRTG_P397", 397, 4},  {"FRTG_P401", 401, 9},
    {"FRTG_P410", 410, 5},  {"FRTG_P415", 415, 1},  {"FRTG_P416", 416, 1},  {"FRTG_P417", 417, 1},
    {"FRTG_P418", 418, 4},  {"FRTG_P422", 422, 3},  {"FRTG_P425", 425, 1},  {"FRTG_P426", 426, 1},
    {"FRTG_P427", 427, 1},  {"FRTG_P428", 428, 1},  {"FRTG_P429", 429, 1},  {"FRTG_P430", 430, 1},
    {"FRTG_P431", 431, 8},  {"FRTG_P439", 439, 2},  {"FRTG_P441", 441, 1},  {"FRTG_P442", 442, 1},
    {"FRTG_P443", 443, 1},  {"FRTG_P444", 444, 1},  {"FRTG_P445", 445, 1},  {"FRTG_P446", 446, 8},
    {"FRTG_P454", 454, 8},  {"FRTG_P462", 462, 1},  {"FRTG_P463", 463, 1},  {"FRTG_P464", 464, 1},
    {"FRTG_P465", 465, 1},  {"FRTG_P466", 466, 1},  {"FRTG_P467", 467, 1},  {"FRTG_P468", 468, 1},
    {"FRTG_P469", 469, 1},  {"FRTG_P470", 470, 1},  {"FRTG_P471", 471, 1},  {"FRTG_P472", 472, 1},
    {"FRTG_P473", 473, 18}, {"FRTG_P491", 491, 1},  {"FRTG_P492", 492, 1},  {"FRTG_P493", 493, 1},
    {"FRTG_P494", 494, 1},  {"FRTG_P495", 495, 4},  {"FRTG_P499", 499, 8}};
constexpr Field kSVF_FTHD[] = {
    {"FTGID", 1, 3},         {"REGTYP", 4, 1},         {"FAKTNR", 5, 6},
    {"SPECNR", 11, 6},       {"ORDERNR", 17, 6},       {"ORDERTILL", 23, 3},
    {"LANDKOD", 26, 2},      {"KUNDGRUPP", 28, 3},     {"KUNDIDENT", 31, 15},
    {"FAKTDATUM", 46, 8},    {"KOPREF", 54, 15},       {"FTHD_P069", 69, 30},
    {"VARREF", 99, 30},      {"FTHD_P129", 129, 30},   {"FTHD_P159", 159, 30},
    {"FTHD_P189", 189, 4},   {"FTHD_P193", 193, 25},   {"FTHD_P218", 218, 5},
    {"FTHD_P223", 223, 4},   {"FTHD_P227", 227, 25},   {"FTHD_P252", 252, 5},
    {"LEVNAMN", 257, 30},    {"LEVADR1", 287, 25},     {"LEVADR2", 312, 25},
    {"LEVGODSADR", 337, 25}, {"LEVPOSTORT", 362, 25},  {"LEVLAND", 387, 20},
    {"FAKTNAMN", 407, 30},   {"FAKTADR1", 437, 25},    {"FAKTADR2", 462, 25},
    {"FAKTADR3", 487, 25},   {"FAKTPOSTORT", 512, 25}, {"FAKTLAND", 537, 20},
    {"FTHD_P557", 557, 1},   {"FTHD_P558", 558, 2},    {"FTHD_P560", 560, 1},
    {"BETKOD", 561, 2},      {"BETTEXT", 563, 47},     {"BETDAGAR", 610, 3},
    {"MOMSKOD", 613, 1},     {"MOMSSATS", 614, 5},     {"VALKOD", 619, 2},
    {"VALKURS", 621, 7},     {"VALUTABET", 628, 3},    {"AVDRAGFTG", 631, 14},
    {"AVDRAGVAL", 645, 14},  {"NETTOVAL", 659, 14},    {"NETTOFTG", 673, 14},
    {"RADSUMMA1", 687, 14},  {"MOMSVAL", 701, 14},     {"MOMSFTG", 715, 14},
    {"RADSUMMA2", 729, 14},  {"RADSUMMA3", 743, 14},   {"AVRUNDVAL", 757, 6},
    {"AVRUNDFTG", 763, 6},   {"TOTALVAL", 769, 14},    {"TOTALFTG", 783, 14},
    {"FTHD_P797", 797, 1},   {"FTHD_P798", 798, 1},    {"ANMARKNING", 799, 50},
    {"SALJKOD", 849, 4},     {"SKICKAD", 853, 1},      {"FTHD_P854", 854, 1},
    {"FTHD_P855", 855, 1},   {"FTHD_P856", 856, 1},    {"FORFDATUM", 857, 8},
    {"ANTALTILL", 865, 3},   {"FTHD_P868", 868, 1},    {"ANTALSPEC", 869, 3},
    {"FTHD_P872", 872, 1},   {"FTHD_P873", 873, 1},    {"FTHD_P874", 874, 6},
    {"FTHD_P880", 880, 1},   {"UTSKRIVEN", 881, 1},    {"FTHD_P882", 882, 1},
    {"FTHD_P883", 883, 6},   {"FTHD_P889", 889, 14},   {"FASBELOPP", 903, 14},
    {"FTHD_P917", 917, 14},  {"FTHD_P931", 931, 14},   {"FTHD_P945", 945, 2},
    {"FTHD_P947", 947, 1},   {"FTHD_P948", 948, 8},    {"AJOURFORD", 956, 1},
    {"AJOURDATUM", 957, 8},  {"FTHD_P965", 965, 1},    {"FTHD_P966", 966, 8},
    {"UTSKRDATUM", 974, 8},  {"FTHD_P982", 982, 1},    {"KONTRAKT", 983, 1},
    {"PRODORDER", 984, 1},   {"FTHD_P985", 985, 1},    {"CERTKOD", 986, 1},
    {"CERTFLAGGA", 987, 1},  {"FTHD_P988", 988, 4},    {"FTHD_P992", 992, 8}};
constexpr Field kKRK_KUND[] = {
    {"KUND_P001", 1, 3},    {"KUND_P004", 4, 2},    {"KUND_P006", 6, 3},    {"KUND_P009", 9, 15},
    {"KUND_P024", 24, 30},  {"KUND_P054", 54, 25},  {"KUND_P079", 79, 25},  {"KUND_P104", 104, 25},
    {"KUND_P129", 129, 25}, {"KUND_P154", 154, 20}, {"KUND_P174", 174, 2},  {"KUND_P176", 176, 6},
    {"KUND_P182", 182, 4},  {"KUND_P186", 186, 2},  {"KUND_P188", 188, 1},  {"KUND_P189", 189, 20},
    {"KUND_P209", 209, 20}, {"KUND_P229", 229, 30}, {"KUND_P259", 259, 20}, {"KUND_P279", 279, 3},
    {"KUND_P282", 282, 7},  {"KUND_P289", 289, 2},  {"KUND_P291", 291, 1},  {"KUND_P292", 292, 1},
    {"KUND_P293", 293, 1},  {"KUND_P294", 294, 1},  {"KUND_P295", 295, 1},  {"KUND_P296", 296, 1},
    {"KUND_P297", 297, 1},  {"KUND_P298", 298, 1},  {"KUND_P299", 299, 1},  {"KUND_P300", 300, 1},
    {"KUND_P301", 301, 1},  {"KUND_P302", 302, 4},  {"KUND_P306", 306, 2},  {"KUND_P308", 308, 1},
    {"KUND_P309", 309, 2},  {"KUND_P311", 311, 3},  {"KUND_P314", 314, 1},  {"KUND_P315", 315, 1},
    {"KUND_P316", 316, 8},  {"KUND_P324", 324, 1},  {"KUND_P325", 325, 5},  {"KUND_P330", 330, 4},
    {"KUND_P334", 334, 1},  {"KUND_P335", 335, 13}, {"KUND_P348", 348, 1},  {"KUND_P349", 349, 1},
    {"KUND_P350", 350, 3},  {"KUND_P353", 353, 3},  {"KUND_P356", 356, 3},  {"KUND_P359", 359, 2},
    {"KUND_P361", 361, 1},  {"KUND_P362", 362, 1},  {"KUND_P363", 363, 30}, {"KUND_P393", 393, 1},
    {"KUND_P394", 394, 2},  {"KUND_P396", 396, 3},  {"KUND_P399", 399, 8},  {"KUND_P407", 407, 1},
    {"KUND_P408", 408, 1},  {"KUND_P409", 409, 1},  {"KUND_P410", 410, 1},  {"KUND_P411", 411, 5},
    {"KUND_P416", 416, 1},  {"KUND_P417", 417, 1},  {"KUND_P418", 418, 1},  {"KUND_P419", 419, 3},
    {"KUND_P422", 422, 1},  {"KUND_P423", 423, 3},  {"KUND_P426", 426, 1},  {"KUND_P427", 427, 1},
    {"KUND_P428", 428, 2},  {"KUND_P430", 430, 3},  {"KUND_P433", 433, 15}, {"KUND_P448", 448, 9},
    {"KUND_P457", 457, 1},  {"KUND_P458", 458, 1},  {"KUND_P459", 459, 1},  {"KUND_P460", 460, 1},
    {"KUND_P461", 461, 1},  {"KUND_P462", 462, 1},  {"KUND_P463", 463, 8},  {"KUND_P471", 471, 8},
    {"KUND_P479", 479, 8},  {"KUND_P487", 487, 8},  {"KUND_P495", 495, 4},  {"KUND_P499", 499, 8}};
constexpr Field kSVF_FTSP[] = {
    {"FTSP_P001", 1, 3},    {"FTSP_P004", 4, 1},    {"FTSP_P005", 5, 6},    {"FTSP_P011", 11, 1},
    {"FTSP_P012", 12, 1},   {"FTSP_P013", 13, 5},   {"FTSP_P018", 18, 5},   {"FTSP_P023", 23, 2},
    {"FTSP_P025", 25, 5},   {"FTSP_P030", 30, 2},   {"FTSP_P032", 32, 2},   {"FTSP_P034", 34, 4},
    {"FTSP_P038", 38, 1},   {"FTSP_P039", 39, 1},   {"FTSP_P040", 40, 3},   {"FTSP_P043", 43, 3},
    {"FTSP_P046", 46, 1},   {"FTSP_P047", 47, 10},  {"FTSP_P057", 57, 1},   {"FTSP_P058", 58, 2},
    {"FTSP_P060", 60, 7},   {"FTSP_P067", 67, 3},   {"FTSP_P070", 70, 10},  {"FTSP_P080", 80, 5},
    {"FTSP_P085", 85, 14},  {"FTSP_P099", 99, 14},  {"FTSP_P113", 113, 14}, {"FTSP_P127", 127, 14},
    {"FTSP_P141", 141, 14}, {"FTSP_P155", 155, 14}, {"FTSP_P169", 169, 14}, {"FTSP_P183", 183, 14},
    {"FTSP_P197", 197, 14}, {"FTSP_P211", 211, 1},  {"FTSP_P212", 212, 1},  {"FTSP_P213", 213, 8},
    {"FTSP_P221", 221, 1},  {"FTSP_P222", 222, 8},  {"FTSP_P230", 230, 2},  {"FTSP_P232", 232, 1},
    {"FTSP_P233", 233, 1},  {"FTSP_P234", 234, 1},  {"FTSP_P235", 235, 1},  {"FTSP_P236", 236, 1},
    {"FTSP_P237", 237, 1},  {"FTSP_P238", 238, 1},  {"FTSP_P239", 239, 2},  {"FTSP_P241", 241, 4},
    {"FTSP_P245", 245, 8}};
constexpr Field kSVF_FTAP[] = {
    {"FTAP_P001", 1, 3},    {"FTAP_P004", 4, 1},    {"FTAP_P005", 5, 6},    {"FTAP_P011", 11, 2},
    {"FTAP_P013", 13, 3},   {"FTAP_P016", 16, 3},   {"FTAP_P019", 19, 5},   {"FTAP_P024", 24, 20},
    {"FTAP_P044", 44, 5},   {"FTAP_P049", 49, 30},  {"FTAP_P079", 79, 50},  {"FTAP_P129", 129, 50},
    {"FTAP_P179", 179, 1},  {"FTAP_P180", 180, 1},  {"FTAP_P181", 181, 1},  {"FTAP_P182", 182, 5},
    {"FTAP_P187", 187, 1},  {"FTAP_P188", 188, 9},  {"FTAP_P197", 197, 2},  {"FTAP_P199", 199, 6},
    {"FTAP_P205", 205, 14}, {"FTAP_P219", 219, 2},  {"FTAP_P221", 221, 7},  {"FTAP_P228", 228, 3},
    {"FTAP_P231", 231, 14}, {"FTAP_P245", 245, 5},  {"FTAP_P250", 250, 14}, {"FTAP_P264", 264, 14},
    {"FTAP_P278", 278, 14}, {"FTAP_P292", 292, 14}, {"FTAP_P306", 306, 14}, {"FTAP_P320", 320, 14},
    {"FTAP_P334", 334, 14}, {"FTAP_P348", 348, 1},  {"FTAP_P349", 349, 1},  {"FTAP_P350", 350, 1},
    {"FTAP_P351", 351, 1},  {"FTAP_P352", 352, 1},  {"FTAP_P353", 353, 1},  {"FTAP_P354", 354, 2},
    {"FTAP_P356", 356, 8},  {"FTAP_P364", 364, 1},  {"FTAP_P365", 365, 2},  {"FTAP_P367", 367, 1},
    {"FTAP_P368", 368, 8},  {"FTAP_P376", 376, 9},  {"FTAP_P385", 385, 1},  {"FTAP_P386", 386, 1},
    {"FTAP_P387", 387, 1},  {"FTAP_P388", 388, 1},  {"FTAP_P389", 389, 1},  {"FTAP_P390", 390, 4},
    {"FTAP_P394", 394, 5},  {"FTAP_P399", 399, 1},  {"FTAP_P400", 400, 3},  {"FTAP_P403", 403, 1},
    {"FTAP_P404", 404, 8},  {"FTAP_P412", 412, 3},  {"FTAP_P415", 415, 9},  {"FTAP_P424", 424, 1},
    {"FTAP_P425", 425, 8},  {"FTAP_P433", 433, 1},  {"FTAP_P434", 434, 8},  {"FTAP_P442", 442, 9},
    {"FTAP_P451", 451, 4},  {"FTAP_P455", 455, 14}, {"FTAP_P469", 469, 1},  {"FTAP_P470", 470, 1},
    {"FTAP_P471", 471, 5},  {"FTAP_P476", 476, 1},  {"FTAP_P477", 477, 1},  {"FTAP_P478", 478, 1},
    {"FTAP_P479", 479, 5},  {"FTAP_P484", 484, 5},  {"FTAP_P489", 489, 3},  {"FTAP_P492", 492, 1},
    {"FTAP_P493", 493, 1},  {"FTAP_P494", 494, 1},  {"FTAP_P495", 495, 4},  {"FTAP_P499", 499, 8}};
constexpr Field kSVF_LSHD[] = {
    {"LSHD_P001", 1, 3},    {"LSHD_P004", 4, 1},    {"LSHD_P005", 5, 6},    {"LSHD_P011", 11, 6},
    {"LSHD_P017", 17, 3},   {"LSHD_P020", 20, 2},   {"LSHD_P022", 22, 3},   {"LSHD_P025", 25, 15},
    {"LSHD_P040", 40, 8},   {"LSHD_P048", 48, 8},   {"LSHD_P056", 56, 2},   {"LSHD_P058", 58, 1},
    {"LSHD_P059", 59, 30},  {"LSHD_P089", 89, 30},  {"LSHD_P119", 119, 25}, {"LSHD_P144", 144, 25},
    {"LSHD_P169", 169, 25}, {"LSHD_P194", 194, 25}, {"LSHD_P219", 219, 20}, {"LSHD_P239", 239, 1},
    {"LSHD_P240", 240, 41}, {"LSHD_P281", 281, 1},  {"LSHD_P282", 282, 20}, {"LSHD_P302", 302, 1},
    {"LSHD_P303", 303, 20}, {"LSHD_P323", 323, 50}, {"LSHD_P373", 373, 50}, {"LSHD_P423", 423, 3},
    {"LSHD_P426", 426, 1},  {"LSHD_P427", 427, 1},  {"LSHD_P428", 428, 8},  {"LSHD_P436", 436, 1},
    {"LSHD_P437", 437, 8},  {"LSHD_P445", 445, 1},  {"LSHD_P446", 446, 1},  {"LSHD_P447", 447, 6},
    {"LSHD_P453", 453, 8},  {"LSHD_P461", 461, 2},  {"LSHD_P463", 463, 12}, {"LSHD_P475", 475, 10},
    {"LSHD_P485", 485, 15}, {"LSHD_P500", 500, 25}, {"LSHD_P525", 525, 2},  {"LSHD_P527", 527, 1},
    {"LSHD_P528", 528, 5},  {"LSHD_P533", 533, 2},  {"LSHD_P535", 535, 7},  {"LSHD_P542", 542, 3},
    {"LSHD_P545", 545, 14}, {"LSHD_P559", 559, 14}, {"LSHD_P573", 573, 14}, {"LSHD_P587", 587, 14},
    {"LSHD_P601", 601, 14}, {"LSHD_P615", 615, 14}, {"LSHD_P629", 629, 14}, {"LSHD_P643", 643, 6},
    {"LSHD_P649", 649, 6},  {"LSHD_P655", 655, 14}, {"LSHD_P669", 669, 14}, {"LSHD_P683", 683, 3},
    {"LSHD_P686", 686, 1},  {"LSHD_P687", 687, 1},  {"LSHD_P688", 688, 8},  {"LSHD_P696", 696, 1},
    {"LSHD_P697", 697, 8},  {"LSHD_P705", 705, 1},  {"LSHD_P706", 706, 1},  {"LSHD_P707", 707, 1},
    {"LSHD_P708", 708, 3},  {"LSHD_P711", 711, 2},  {"LSHD_P713", 713, 3},  {"LSHD_P716", 716, 2},
    {"LSHD_P718", 718, 3},  {"LSHD_P721", 721, 8},  {"LSHD_P729", 729, 8},  {"LSHD_P737", 737, 1},
    {"LSHD_P738", 738, 1},  {"LSHD_P739", 739, 6},  {"LSHD_P745", 745, 1},  {"LSHD_P746", 746, 2},
    {"LSHD_P748", 748, 1},  {"LSHD_P749", 749, 1},  {"LSHD_P750", 750, 1},  {"LSHD_P751", 751, 4},
    {"LSHD_P755", 755, 8}};
constexpr Field kSVP_POHD[] = {
    {"POHD_P001", 1, 3},    {"POHD_P004", 4, 1},    {"POHD_P005", 5, 6},    {"POHD_P011", 11, 8},
    {"POHD_P019", 19, 6},   {"POHD_P025", 25, 1},   {"POHD_P026", 26, 15},  {"POHD_P041", 41, 1},
    {"POHD_P042", 42, 8},   {"POHD_P050", 50, 3},   {"POHD_P053", 53, 2},   {"POHD_P055", 55, 2},
    {"POHD_P057", 57, 8},   {"POHD_P065", 65, 3},   {"POHD_P068", 68, 2},   {"POHD_P070", 70, 2},
    {"POHD_P072", 72, 8},   {"POHD_P080", 80, 3},   {"POHD_P083", 83, 2},   {"POHD_P085", 85, 2},
    {"POHD_P087", 87, 8},   {"POHD_P095", 95, 3},   {"POHD_P098", 98, 2},   {"POHD_P100", 100, 2},
    {"POHD_P102", 102, 1},  {"POHD_P103", 103, 1},  {"POHD_P104", 104, 65}, {"POHD_P169", 169, 65},
    {"POHD_P234", 234, 65}, {"POHD_P299", 299, 8},  {"POHD_P307", 307, 4},  {"POHD_P311", 311, 1},
    {"POHD_P312", 312, 1},  {"POHD_P313", 313, 1},  {"POHD_P314", 314, 1},  {"POHD_P315", 315, 1},
    {"POHD_P316", 316, 3},  {"POHD_P319", 319, 8},  {"POHD_P327", 327, 1},  {"POHD_P328", 328, 1},
    {"POHD_P329", 329, 1},  {"POHD_P330", 330, 8},  {"POHD_P338", 338, 1},  {"POHD_P339", 339, 2},
    {"POHD_P341", 341, 5},  {"POHD_P346", 346, 5},  {"POHD_P351", 351, 5},  {"POHD_P356", 356, 5},
    {"POHD_P361", 361, 5},  {"POHD_P366", 366, 2},  {"POHD_P368", 368, 3},  {"POHD_P371", 371, 9},
    {"POHD_P380", 380, 8},  {"POHD_P388", 388, 3},  {"POHD_P391", 391, 9},  {"POHD_P400", 400, 8},
    {"POHD_P408", 408, 1},  {"POHD_P409", 409, 1},  {"POHD_P410", 410, 1},  {"POHD_P411", 411, 1},
    {"POHD_P412", 412, 1},  {"POHD_P413", 413, 12}, {"POHD_P425", 425, 1},  {"POHD_P426", 426, 3},
    {"POHD_P429", 429, 1},  {"POHD_P430", 430, 2},  {"POHD_P432", 432, 1},  {"POHD_P433", 433, 8},
    {"POHD_P441", 441, 4},  {"POHD_P445", 445, 6},  {"POHD_P451", 451, 8},  {"POHD_P459", 459, 1},
    {"POHD_P460", 460, 2},  {"POHD_P462", 462, 3},  {"POHD_P465", 465, 15}, {"POHD_P480", 480, 4},
    {"POHD_P484", 484, 1},  {"POHD_P485", 485, 1},  {"POHD_P486", 486, 1},  {"POHD_P487", 487, 8},
    {"POHD_P495", 495, 4},  {"POHD_P499", 499, 8}};
constexpr Field kSVF_LSKA[] = {{"LSKA_P001", 1, 3},  {"LSKA_P004", 4, 1},  {"LSKA_P005", 5, 6},
                               {"LSKA_P011", 11, 6}, {"LSKA_P017", 17, 3}, {"LSKA_P020", 20, 1},
                               {"LSKA_P021", 21, 1}, {"LSKA_P022", 22, 4}, {"LSKA_P026", 26, 8}};
constexpr Field kSVF_TEXT[] = {
    {"SVFTEXT_P001", 1, 3},    {"SVFTEXT_P004", 4, 1},    {"SVFTEXT_P005", 5, 1},
    {"SVFTEXT_P006", 6, 66},   {"SVFTEXT_P072", 72, 66},  {"SVFTEXT_P138", 138, 66},
    {"SVFTEXT_P204", 204, 66}, {"SVFTEXT_P270", 270, 66}, {"SVFTEXT_P336", 336, 2}};
constexpr Field kSYS_DATA[] = {
    {"SYSDATA_P001", 1, 3},  {"SYSDATA_P004", 4, 2},  {"SYSDATA_P006", 6, 48},
    {"SYSDATA_P054", 54, 1}, {"SYSDATA_P055", 55, 1}, {"SYSDATA_P056", 56, 1},
    {"SYSDATA_P057", 57, 1}, {"SYSDATA_P058", 58, 1}, {"SYSDATA_P059", 59, 1},
    {"SYSDATA_P060", 60, 1}, {"SYSDATA_P061", 61, 1}, {"SYSDATA_P062", 62, 1},
    {"SYSDATA_P063", 63, 1}, {"SYSDATA_P064", 64, 1}, {"SYSDATA_P065", 65, 4},
    {"SYSDATA_P069", 69, 8}};
constexpr Field kSYS_BANK[] = {
    {"BANK_P001", 1, 3},    {"BANK_P004", 4, 4},   {"BANK_P008", 8, 1},    {"BANK_P009", 9, 8},
    {"BANK_P017", 17, 30},  {"BANK_P047", 47, 25}, {"BANK_P072", 72, 25},  {"BANK_P097", 97, 25},
    {"BANK_P122", 122, 12}, {"BANK_P134", 134, 8}, {"BANK_P142", 142, 12}, {"BANK_P154", 154, 12},
    {"BANK_P166", 166, 35}, {"BANK_P201", 201, 9}, {"BANK_P210", 210, 9},  {"BANK_P219", 219, 12},
    {"BANK_P231", 231, 1},  {"BANK_P232", 232, 9}, {"BANK_P241", 241, 4},  {"BANK_P245", 245, 8}};
constexpr Field kSYS_IBAN[] = {{"IBAN_P001", 1, 3},  {"IBAN_P004", 4, 2},   {"IBAN_P006", 6, 2},
                               {"IBAN_P008", 8, 2},  {"IBAN_P010", 10, 29}, {"IBAN_P039", 39, 26},
                               {"IBAN_P065", 65, 4}, {"IBAN_P069", 69, 8}};
constexpr Field kVSH_DATA[] = {
    {"VSHDATA_P001", 1, 4},  {"VSHDATA_P005", 5, 7},   {"VSHDATA_P012", 12, 3},
    {"VSHDATA_P015", 15, 2}, {"VSHDATA_P017", 17, 20}, {"VSHDATA_P037", 37, 1},
    {"VSHDATA_P038", 38, 2}, {"VSHDATA_P040", 40, 4},  {"VSHDATA_P044", 44, 8}};
constexpr Field kSVP_KTKD[] = {
    {"KTKD_P001", 1, 3},   {"KTKD_P004", 4, 2},   {"KTKD_P006", 6, 12},   {"KTKD_P018", 18, 12},
    {"KTKD_P030", 30, 12}, {"KTKD_P042", 42, 12}, {"KTKD_P054", 54, 12},  {"KTKD_P066", 66, 12},
    {"KTKD_P078", 78, 12}, {"KTKD_P090", 90, 12}, {"KTKD_P102", 102, 12}, {"KTKD_P114", 114, 12},
    {"KTKD_P126", 126, 1}, {"KTKD_P127", 127, 1}, {"KTKD_P128", 128, 1},  {"KTKD_P129", 129, 2},
    {"KTKD_P131", 131, 2}, {"KTKD_P133", 133, 1}, {"KTKD_P134", 134, 1},  {"KTKD_P135", 135, 21},
    {"KTKD_P156", 156, 4}, {"KTKD_P160", 160, 8}};
constexpr Field kSVP_UFKD[] = {
    {"UFKD_P001", 1, 3},    {"UFKD_P004", 4, 1},    {"UFKD_P005", 5, 5},    {"UFKD_P010", 10, 5},
    {"UFKD_P015", 15, 5},   {"UFKD_P020", 20, 5},   {"UFKD_P025", 25, 5},   {"UFKD_P030", 30, 5},
    {"UFKD_P035", 35, 5},   {"UFKD_P040", 40, 5},   {"UFKD_P045", 45, 5},   {"UFKD_P050", 50, 5},
    {"UFKD_P055", 55, 5},   {"UFKD_P060", 60, 5},   {"UFKD_P065", 65, 5},   {"UFKD_P070", 70, 5},
    {"UFKD_P075", 75, 5},   {"UFKD_P080", 80, 5},   {"UFKD_P085", 85, 25},  {"UFKD_P110", 110, 25},
    {"UFKD_P135", 135, 25}, {"UFKD_P160", 160, 25}, {"UFKD_P185", 185, 25}, {"UFKD_P210", 210, 25},
    {"UFKD_P235", 235, 25}, {"UFKD_P260", 260, 25}, {"UFKD_P285", 285, 25}, {"UFKD_P310", 310, 25},
    {"UFKD_P335", 335, 1},  {"UFKD_P336", 336, 1},  {"UFKD_P337", 337, 1},  {"UFKD_P338", 338, 1},
    {"UFKD_P339", 339, 2},  {"UFKD_P341", 341, 1},  {"UFKD_P342", 342, 4},  {"UFKD_P346", 346, 1},
    {"UFKD_P347", 347, 1},  {"UFKD_P348", 348, 1},  {"UFKD_P349", 349, 1},  {"UFKD_P350", 350, 3},
    {"UFKD_P353", 353, 1},  {"UFKD_P354", 354, 1},  {"UFKD_P355", 355, 1},  {"UFKD_P356", 356, 1},
    {"UFKD_P357", 357, 25}, {"UFKD_P382", 382, 23}, {"UFKD_P405", 405, 12}, {"UFKD_P417", 417, 3},
    {"UFKD_P420", 420, 4},  {"UFKD_P424", 424, 1},  {"UFKD_P425", 425, 4},  {"UFKD_P429", 429, 1},
    {"UFKD_P430", 430, 4},  {"UFKD_P434", 434, 1},  {"UFKD_P435", 435, 1},  {"UFKD_P436", 436, 1},
    {"UFKD_P437", 437, 5},  {"UFKD_P442", 442, 1},  {"UFKD_P443", 443, 1},  {"UFKD_P444", 444, 1},
    {"UFKD_P445", 445, 1},  {"UFKD_P446", 446, 1},  {"UFKD_P447", 447, 1},  {"UFKD_P448", 448, 1},
    {"UFKD_P449", 449, 1},  {"UFKD_P450", 450, 1},  {"UFKD_P451", 451, 1},  {"UFKD_P452", 452, 5},
    {"UFKD_P457", 457, 5},  {"UFKD_P462", 462, 5},  {"UFKD_P467", 467, 5},  {"UFKD_P472", 472, 5},
    {"UFKD_P477", 477, 1},  {"UFKD_P478", 478, 1},  {"UFKD_P479", 479, 1},  {"UFKD_P480", 480, 1},
    {"UFKD_P481", 481, 1},  {"UFKD_P482", 482, 1},  {"UFKD_P483", 483, 2},  {"UFKD_P485", 485, 1},
    {"UFKD_P486", 486, 1},  {"UFKD_P487", 487, 1},  {"UFKD_P488", 488, 1},  {"UFKD_P489", 489, 1},
    {"UFKD_P490", 490, 1},  {"UFKD_P491", 491, 1},  {"UFKD_P492", 492, 1},  {"UFKD_P493", 493, 1},
    {"UFKD_P494", 494, 1},  {"UFKD_P495", 495, 4},  {"UFKD_P499", 499, 8}};
constexpr Field kSVP_VAKD[] = {
    {"VAKD_P001", 1, 3},    {"VAKD_P004", 4, 2},   {"VAKD_P006", 6, 12},   {"VAKD_P018", 18, 12},
    {"VAKD_P030", 30, 12},  {"VAKD_P042", 42, 12}, {"VAKD_P054", 54, 12},  {"VAKD_P066", 66, 12},
    {"VAKD_P078", 78, 12},  {"VAKD_P090", 90, 12}, {"VAKD_P102", 102, 12}, {"VAKD_P114", 114, 12},
    {"VAKD_P126", 126, 30}, {"VAKD_P156", 156, 4}, {"VAKD_P160", 160, 8}};
constexpr Field kSVP_FTKD[] = {{"FTKD_P001", 1, 3},  {"FTKD_P004", 4, 2},  {"FTKD_P006", 6, 5},
                               {"FTKD_P011", 11, 5}, {"FTKD_P016", 16, 5}, {"FTKD_P021", 21, 13},
                               {"FTKD_P034", 34, 2}, {"FTKD_P036", 36, 1}, {"FTKD_P037", 37, 1},
                               {"FTKD_P038", 38, 5}, {"FTKD_P043", 43, 4}, {"FTKD_P047", 47, 8}};
constexpr Field kSVF_FKFT[] = {
    {"FKFT_P001", 1, 3},    {"FKFT_P004", 4, 1},    {"FKFT_P005", 5, 6},
    {"FKFT_P011", 11, 98},  {"FKFT_P109", 109, 98}, {"FKFT_P207", 207, 98},
    {"FKFT_P305", 305, 98}, {"FKFT_P403", 403, 98}, {"FKFT_P501", 501, 6}};
constexpr Field kSVF_LSSP[] = {
    {"LSSP_P001", 1, 3},   {"LSSP_P004", 4, 1},   {"LSSP_P005", 5, 6},   {"LSSP_P011", 11, 1},
    {"LSSP_P012", 12, 1},  {"LSSP_P013", 13, 2},  {"LSSP_P015", 15, 5},  {"LSSP_P020", 20, 5},
    {"LSSP_P025", 25, 5},  {"LSSP_P030", 30, 2},  {"LSSP_P032", 32, 2},  {"LSSP_P034", 34, 4},
    {"LSSP_P038", 38, 1},  {"LSSP_P039", 39, 5},  {"LSSP_P044", 44, 5},  {"LSSP_P049", 49, 1},
    {"LSSP_P050", 50, 1},  {"LSSP_P051", 51, 3},  {"LSSP_P054", 54, 2},  {"LSSP_P056", 56, 3},
    {"LSSP_P059", 59, 1},  {"LSSP_P060", 60, 8},  {"LSSP_P068", 68, 1},  {"LSSP_P069", 69, 8},
    {"LSSP_P077", 77, 2},  {"LSSP_P079", 79, 10}, {"LSSP_P089", 89, 6},  {"LSSP_P095", 95, 3},
    {"LSSP_P098", 98, 3},  {"LSSP_P101", 101, 3}, {"LSSP_P104", 104, 3}, {"LSSP_P107", 107, 1},
    {"LSSP_P108", 108, 6}, {"LSSP_P114", 114, 6}, {"LSSP_P120", 120, 5}, {"LSSP_P125", 125, 4},
    {"LSSP_P129", 129, 2}, {"LSSP_P131", 131, 1}, {"LSSP_P132", 132, 4}, {"LSSP_P136", 136, 8}};
constexpr Field kSAK_SFSH[] = {
    {"SFSH_P001", 1, 3},    {"SFSH_P004", 4, 4},    {"SFSH_P008", 8, 25},    {"SFSH_P033", 33, 5},
    {"SFSH_P038", 38, 5},   {"SFSH_P043", 43, 5},   {"SFSH_P048", 48, 15},   {"SFSH_P063", 63, 25},
    {"SFSH_P088", 88, 25},  {"SFSH_P113", 113, 20}, {"SFSH_P133", 133, 50},  {"SFSH_P183", 183, 20},
    {"SFSH_P203", 203, 20}, {"SFSH_P223", 223, 11}, {"SFSH_P234", 234, 11},  {"SFSH_P245", 245, 5},
    {"SFSH_P250", 250, 8},  {"SFSH_P258", 258, 8},  {"SFSH_P266", 266, 160}, {"SFSH_P426", 426, 30},
    {"SFSH_P456", 456, 1},  {"SFSH_P457", 457, 24}, {"SFSH_P481", 481, 8},   {"SFSH_P489", 489, 1},
    {"SFSH_P490", 490, 1},  {"SFSH_P491", 491, 1},  {"SFSH_P492", 492, 3},   {"SFSH_P495", 495, 4},
    {"SFSH_P499", 499, 8}};
constexpr Field kSVP_DSNA[] = {
    {"DSNA_P001", 1, 3},   {"DSNA_P004", 4, 1},   {"DSNA_P005", 5, 2},   {"DSNA_P007", 7, 5},
    {"DSNA_P012", 12, 5},  {"DSNA_P017", 17, 5},  {"DSNA_P022", 22, 5},  {"DSNA_P027", 27, 5},
    {"DSNA_P032", 32, 5},  {"DSNA_P037", 37, 5},  {"DSNA_P042", 42, 5},  {"DSNA_P047", 47, 5},
    {"DSNA_P052", 52, 5},  {"DSNA_P057", 57, 5},  {"DSNA_P062", 62, 2},  {"DSNA_P064", 64, 5},
    {"DSNA_P069", 69, 1},  {"DSNA_P070", 70, 2},  {"DSNA_P072", 72, 4},  {"DSNA_P076", 76, 4},
    {"DSNA_P080", 80, 4},  {"DSNA_P084", 84, 1},  {"DSNA_P085", 85, 1},  {"DSNA_P086", 86, 1},
    {"DSNA_P087", 87, 1},  {"DSNA_P088", 88, 1},  {"DSNA_P089", 89, 3},  {"DSNA_P092", 92, 1},
    {"DSNA_P093", 93, 6},  {"DSNA_P099", 99, 6},  {"DSNA_P105", 105, 6}, {"DSNA_P111", 111, 4},
    {"DSNA_P115", 115, 7}, {"DSNA_P122", 122, 5}, {"DSNA_P127", 127, 1}, {"DSNA_P128", 128, 4},
    {"DSNA_P132", 132, 4}, {"DSNA_P136", 136, 8}};
constexpr Field kARV_ATKL[] = {
    {"ATKL_P001", 1, 3},    {"ATKL_P004", 4, 5},    {"ATKL_P009", 9, 20},   {"ATKL_P029", 29, 30},
    {"ATKL_P059", 59, 1},   {"ATKL_P060", 60, 4},   {"ATKL_P064", 64, 3},   {"ATKL_P067", 67, 3},
    {"ATKL_P070", 70, 4},   {"ATKL_P074", 74, 5},   {"ATKL_P079", 79, 1},   {"ATKL_P080", 80, 5},
    {"ATKL_P085", 85, 7},   {"ATKL_P092", 92, 1},   {"ATKL_P093", 93, 1},   {"ATKL_P094", 94, 8},
    {"ATKL_P102", 102, 5},  {"ATKL_P107", 107, 5},  {"ATKL_P112", 112, 5},  {"ATKL_P117", 117, 5},
    {"ATKL_P122", 122, 5},  {"ATKL_P127", 127, 5},  {"ATKL_P132", 132, 5},  {"ATKL_P137", 137, 5},
    {"ATKL_P142", 142, 5},  {"ATKL_P147", 147, 5},  {"ATKL_P152", 152, 5},  {"ATKL_P157", 157, 5},
    {"ATKL_P162", 162, 5},  {"ATKL_P167", 167, 5},  {"ATKL_P172", 172, 5},  {"ATKL_P177", 177, 1},
    {"ATKL_P178", 178, 3},  {"ATKL_P181", 181, 2},  {"ATKL_P183", 183, 5},  {"ATKL_P188", 188, 5},
    {"ATKL_P193", 193, 3},  {"ATKL_P196", 196, 6},  {"ATKL_P202", 202, 1},  {"ATKL_P203", 203, 5},
    {"ATKL_P208", 208, 3},  {"ATKL_P211", 211, 4},  {"ATKL_P215", 215, 4},  {"ATKL_P219", 219, 2},
    {"ATKL_P221", 221, 1},  {"ATKL_P222", 222, 1},  {"ATKL_P223", 223, 30}, {"ATKL_P253", 253, 2},
    {"ATKL_P255", 255, 3},  {"ATKL_P258", 258, 15}, {"ATKL_P273", 273, 3},  {"ATKL_P276", 276, 5},
    {"ATKL_P281", 281, 2},  {"ATKL_P283", 283, 6},  {"ATKL_P289", 289, 10}, {"ATKL_P299", 299, 8},
    {"ATKL_P307", 307, 10}, {"ATKL_P317", 317, 10}, {"ATKL_P327", 327, 2},  {"ATKL_P329", 329, 10},
    {"ATKL_P339", 339, 10}, {"ATKL_P349", 349, 10}, {"ATKL_P359", 359, 10}, {"ATKL_P369", 369, 10},
    {"ATKL_P379", 379, 4},  {"ATKL_P383", 383, 4},  {"ATKL_P387", 387, 4},  {"ATKL_P391", 391, 4},
    {"ATKL_P395", 395, 1},  {"ATKL_P396", 396, 1},  {"ATKL_P397", 397, 15}, {"ATKL_P412", 412, 5},
    {"ATKL_P417", 417, 8},  {"ATKL_P425", 425, 6},  {"ATKL_P431", 431, 6},  {"ATKL_P437", 437, 1},
    {"ATKL_P438", 438, 1},  {"ATKL_P439", 439, 1},  {"ATKL_P440", 440, 1},  {"ATKL_P441", 441, 4},
    {"ATKL_P445", 445, 1},  {"ATKL_P446", 446, 1},  {"ATKL_P447", 447, 1},  {"ATKL_P448", 448, 24},
    {"ATKL_P472", 472, 1},  {"ATKL_P473", 473, 1},  {"ATKL_P474", 474, 1},  {"ATKL_P475", 475, 1},
    {"ATKL_P476", 476, 5},  {"ATKL_P481", 481, 5},  {"ATKL_P486", 486, 5},  {"ATKL_P491", 491, 1},
    {"ATKL_P492", 492, 3},  {"ATKL_P495", 495, 4},  {"ATKL_P499", 499, 8}};
constexpr Field kARV_AVID[] = {
    {"AVID_P001", 1, 3},    {"AVID_P004", 4, 5},    {"AVID_P009", 9, 20},   {"AVID_P029", 29, 5},
    {"AVID_P034", 34, 30},  {"AVID_P064", 64, 30},  {"AVID_P094", 94, 7},   {"AVID_P101", 101, 3},
    {"AVID_P104", 104, 1},  {"AVID_P105", 105, 8},  {"AVID_P113", 113, 5},  {"AVID_P118", 118, 5},
    {"AVID_P123", 123, 3},  {"AVID_P126", 126, 5},  {"AVID_P131", 131, 3},  {"AVID_P134", 134, 4},
    {"AVID_P138", 138, 4},  {"AVID_P142", 142, 5},  {"AVID_P147", 147, 6},  {"AVID_P153", 153, 10},
    {"AVID_P163", 163, 8},  {"AVID_P171", 171, 10}, {"AVID_P181", 181, 10}, {"AVID_P191", 191, 2},
    {"AVID_P193", 193, 10}, {"AVID_P203", 203, 10}, {"AVID_P213", 213, 10}, {"AVID_P223", 223, 10},
    {"AVID_P233", 233, 1},  {"AVID_P234", 234, 15}, {"AVID_P249", 249, 5},  {"AVID_P254", 254, 8},
    {"AVID_P262", 262, 6},  {"AVID_P268", 268, 6},  {"AVID_P274", 274, 16}, {"AVID_P290", 290, 4},
    {"AVID_P294", 294, 4},  {"AVID_P298", 298, 4},  {"AVID_P302", 302, 4},  {"AVID_P306", 306, 4},
    {"AVID_P310", 310, 7},  {"AVID_P317", 317, 5},  {"AVID_P322", 322, 1},  {"AVID_P323", 323, 3},
    {"AVID_P326", 326, 4},  {"AVID_P330", 330, 8}};
constexpr Field kSVP_LFID[] = {
    {"LFID_P001", 1, 3},    {"LFID_P004", 4, 1},    {"LFID_P005", 5, 4},    {"LFID_P009", 9, 4},
    {"LFID_P013", 13, 4},   {"LFID_P017", 17, 4},   {"LFID_P021", 21, 4},   {"LFID_P025", 25, 4},
    {"LFID_P029", 29, 4},   {"LFID_P033", 33, 4},   {"LFID_P037", 37, 4},   {"LFID_P041", 41, 4},
    {"LFID_P045", 45, 4},   {"LFID_P049", 49, 4},   {"LFID_P053", 53, 4},   {"LFID_P057", 57, 4},
    {"LFID_P061", 61, 4},   {"LFID_P065", 65, 4},   {"LFID_P069", 69, 4},   {"LFID_P073", 73, 4},
    {"LFID_P077", 77, 4},   {"LFID_P081", 81, 4},   {"LFID_P085", 85, 4},   {"LFID_P089", 89, 4},
    {"LFID_P093", 93, 4},   {"LFID_P097", 97, 4},   {"LFID_P101", 101, 4},  {"LFID_P105", 105, 4},
    {"LFID_P109", 109, 4},  {"LFID_P113", 113, 4},  {"LFID_P117", 117, 4},  {"LFID_P121", 121, 4},
    {"LFID_P125", 125, 4},  {"LFID_P129", 129, 4},  {"LFID_P133", 133, 4},  {"LFID_P137", 137, 4},
    {"LFID_P141", 141, 4},  {"LFID_P145", 145, 4},  {"LFID_P149", 149, 4},  {"LFID_P153", 153, 4},
    {"LFID_P157", 157, 4},  {"LFID_P161", 161, 4},  {"LFID_P165", 165, 4},  {"LFID_P169", 169, 4},
    {"LFID_P173", 173, 4},  {"LFID_P177", 177, 4},  {"LFID_P181", 181, 4},  {"LFID_P185", 185, 4},
    {"LFID_P189", 189, 1},  {"LFID_P190", 190, 1},  {"LFID_P191", 191, 1},  {"LFID_P192", 192, 1},
    {"LFID_P193", 193, 4},  {"LFID_P197", 197, 4},  {"LFID_P201", 201, 6},  {"LFID_P207", 207, 6},
    {"LFID_P213", 213, 6},  {"LFID_P219", 219, 1},  {"LFID_P220", 220, 3},  {"LFID_P223", 223, 3},
    {"LFID_P226", 226, 3},  {"LFID_P229", 229, 3},  {"LFID_P232", 232, 4},  {"LFID_P236", 236, 4},
    {"LFID_P240", 240, 4},  {"LFID_P244", 244, 4},  {"LFID_P248", 248, 4},  {"LFID_P252", 252, 4},
    {"LFID_P256", 256, 4},  {"LFID_P260", 260, 8},  {"LFID_P268", 268, 12}, {"LFID_P280", 280, 12},
    {"LFID_P292", 292, 12}, {"LFID_P304", 304, 12}, {"LFID_P316", 316, 10}, {"LFID_P326", 326, 4},
    {"LFID_P330", 330, 8}};
constexpr Field kSYS_EDIH[] = {
    {"EDIH_P001", 1, 3},    {"EDIH_P004", 4, 2},    {"EDIH_P006", 6, 5},    {"EDIH_P011", 11, 5},
    {"EDIH_P016", 16, 1},   {"EDIH_P017", 17, 5},   {"EDIH_P022", 22, 5},   {"EDIH_P027", 27, 1},
    {"EDIH_P028", 28, 25},  {"EDIH_P053", 53, 40},  {"EDIH_P093", 93, 25},  {"EDIH_P118", 118, 40},
    {"EDIH_P158", 158, 1},  {"EDIH_P159", 159, 1},  {"EDIH_P160", 160, 11}, {"EDIH_P171", 171, 1},
    {"EDIH_P172", 172, 13}, {"EDIH_P185", 185, 20}, {"EDIH_P205", 205, 9},  {"EDIH_P214", 214, 9},
    {"EDIH_P223", 223, 12}, {"EDIH_P235", 235, 1},  {"EDIH_P236", 236, 1},  {"EDIH_P237", 237, 1},
    {"EDIH_P238", 238, 9},  {"EDIH_P247", 247, 20}, {"EDIH_P267", 267, 5},  {"EDIH_P272", 272, 23},
    {"EDIH_P295", 295, 30}, {"EDIH_P325", 325, 1},  {"EDIH_P326", 326, 8},  {"EDIH_P334", 334, 8},
    {"EDIH_P342", 342, 8},  {"EDIH_P350", 350, 8},  {"EDIH_P358", 358, 8},  {"EDIH_P366", 366, 8},
    {"EDIH_P374", 374, 8},  {"EDIH_P382", 382, 8},  {"EDIH_P390", 390, 8},  {"EDIH_P398", 398, 8},
    {"EDIH_P406", 406, 89}, {"EDIH_P495", 495, 4},  {"EDIH_P499", 499, 8}};
constexpr Field kKRK_XTRA[] = {
    {"XTRA_P001", 1, 3},    {"XTRA_P004", 4, 2},    {"XTRA_P006", 6, 3},   {"XTRA_P009", 9, 15},
    {"XTRA_P024", 24, 5},   {"XTRA_P029", 29, 5},   {"XTRA_P034", 34, 5},  {"XTRA_P039", 39, 8},
    {"XTRA_P047", 47, 1},   {"XTRA_P048", 48, 1},   {"XTRA_P049", 49, 6},  {"XTRA_P055", 55, 1},
    {"XTRA_P056", 56, 1},   {"XTRA_P057", 57, 1},   {"XTRA_P058", 58, 6},  {"XTRA_P064", 64, 50},
    {"XTRA_P114", 114, 50}, {"XTRA_P164", 164, 50}, {"XTRA_P214", 214, 1}, {"XTRA_P215", 215, 1},
    {"XTRA_P216", 216, 1},  {"XTRA_P217", 217, 1},  {"XTRA_P218", 218, 6}, {"XTRA_P224", 224, 3},
    {"XTRA_P227", 227, 5},  {"XTRA_P232", 232, 1},  {"XTRA_P233", 233, 1}, {"XTRA_P234", 234, 1},
    {"XTRA_P235", 235, 1},  {"XTRA_P236", 236, 1},  {"XTRA_P237", 237, 1}, {"XTRA_P238", 238, 1},
    {"XTRA_P239", 239, 1},  {"XTRA_P240", 240, 1},  {"XTRA_P241", 241, 2}, {"XTRA_P243", 243, 5},
    {"XTRA_P248", 248, 5},  {"XTRA_P253", 253, 1},  {"XTRA_P254", 254, 4}, {"XTRA_P258", 258, 4},
    {"XTRA_P262", 262, 4},  {"XTRA_P266", 266, 8},  {"XTRA_P274", 274, 8}, {"XTRA_P282", 282, 8},
    {"XTRA_P290", 290, 8},  {"XTRA_P298", 298, 8},  {"XTRA_P306", 306, 2}, {"XTRA_P308", 308, 1},
    {"XTRA_P309", 309, 1},  {"XTRA_P310", 310, 1},  {"XTRA_P311", 311, 1}, {"XTRA_P312", 312, 1},
    {"XTRA_P313", 313, 10}, {"XTRA_P323", 323, 3},  {"XTRA_P326", 326, 4}, {"XTRA_P330", 330, 8}};
constexpr Field kSVF_DATA[] = {
    {"SVFDATA_P001", 1, 3},    {"SVFDATA_P004", 4, 1},    {"SVFDATA_P005", 5, 50},
    {"SVFDATA_P055", 55, 8},   {"SVFDATA_P063", 63, 9},   {"SVFDATA_P072", 72, 60},
    {"SVFDATA_P132", 132, 60}, {"SVFDATA_P192", 192, 20}, {"SVFDATA_P212", 212, 60},
    {"SVFDATA_P272", 272, 60}, {"SVFDATA_P332", 332, 20}, {"SVFDATA_P352", 352, 18},
    {"SVFDATA_P370", 370, 55}, {"SVFDATA_P425", 425, 55}, {"SVFDATA_P480", 480, 20},
    {"SVFDATA_P500", 500, 7}};
constexpr Field kVSH_TEXT[] = {
    {"VSHTEXT_P001", 1, 2},    {"VSHTEXT_P003", 3, 1},    {"VSHTEXT_P004", 4, 24},
    {"VSHTEXT_P028", 28, 24},  {"VSHTEXT_P052", 52, 24},  {"VSHTEXT_P076", 76, 24},
    {"VSHTEXT_P100", 100, 24}, {"VSHTEXT_P124", 124, 24}, {"VSHTEXT_P148", 148, 24},
    {"VSHTEXT_P172", 172, 24}, {"VSHTEXT_P196", 196, 24}, {"VSHTEXT_P220", 220, 24},
    {"VSHTEXT_P244", 244, 1},  {"VSHTEXT_P245", 245, 8}};

}  // namespace

const std::array<Layout, kRegisterCount>& AllLayouts() {
  static const std::array<Layout, kRegisterCount> kAll = {{
      {"SYS-FRTG", 1, 506, 3, true, false, kSYS_FRTG},
      {"SVF-FTHD", 2, 999, 10, false, true, kSVF_FTHD},
      {"KRK-KUND", 3, 506, 23, false, false, kKRK_KUND},
      {"SVF-FTSP", 4, 252, 38, false, false, kSVF_FTSP},
      {"SVF-FTAP", 5, 506, 18, false, true, kSVF_FTAP},
      {"SVF-LSHD", 6, 762, 10, false, false, kSVF_LSHD},
      {"SVP-POHD", 7, 506, 10, false, false, kSVP_POHD},
      {"SVF-LSKA", 8, 33, 16, true, true, kSVF_LSKA},
      {"SVF-TEXT", 9, 337, 5, true, false, kSVF_TEXT},
      {"SYS-DATA", 10, 76, 5, true, false, kSYS_DATA},
      {"SYS-BANK", 11, 252, 7, true, false, kSYS_BANK},
      {"SYS-IBAN", 12, 76, 5, true, false, kSYS_IBAN},
      {"VSH-DATA", 13, 51, 4, true, false, kVSH_DATA},
      {"SVP-KTKD", 14, 167, 5, false, false, kSVP_KTKD},
      {"SVP-UFKD", 15, 506, 9, false, false, kSVP_UFKD},
      // The print run looks grades up by company id + the row's 5-character code, so the key
      // covers positions 1 to 8 although the code field itself is 2 wide.
      {"SVP-VAKD", 16, 167, 8, true, false, kSVP_VAKD},
      {"SVP-FTKD", 17, 54, 5, false, false, kSVP_FTKD},
      {"SVF-FKFT", 18, 506, 10, false, false, kSVF_FKFT},
      {"SVF-LSSP", 19, 143, 38, false, false, kSVF_LSSP},
      {"SAK-SFSH", 20, 506, 7, true, false, kSAK_SFSH},
      {"SVP-DSNA", 21, 143, 21, true, false, kSVP_DSNA},
      {"ARV-ATKL", 22, 506, 28, true, false, kARV_ATKL},
      {"ARV-AVID", 23, 337, 33, true, false, kARV_AVID},
      {"SVP-LFID", 24, 337, 8, false, false, kSVP_LFID},
      {"SYS-EDIH", 25, 506, 3, true, false, kSYS_EDIH},
      {"KRK-XTRA", 26, 337, 23, true, true, kKRK_XTRA},
      {"SVF-DATA", 27, 506, 4, false, false, kSVF_DATA},
      {"VSH-TEXT", 28, 252, 3, false, false, kVSH_TEXT},
  }};
  return kAll;
}

}  // namespace kvor::registers

namespace kvor::registers {

const Field* Layout::Find(std::string_view name) const {
  // Fields are asked for by name for every row of an invoice: the registers' fields are indexed
  // once. A layout made elsewhere (a test's) is searched field by field.
  using Index = std::unordered_map<std::string_view, const Field*>;
  static const std::array<Index, kRegisterCount> indexes = [] {
    std::array<Index, kRegisterCount> out;
    for (const Layout& l : AllLayouts())
      for (const Field& f : l.fields) out[l.channel - 1].emplace(f.name, &f);
    return out;
  }();
  if (channel >= 1 && channel <= kRegisterCount && this == &AllLayouts()[channel - 1]) {
    const Index& index = indexes[channel - 1];
    const auto found = index.find(name);
    return found == index.end() ? nullptr : found->second;
  }
  for (const Field& f : fields)
    if (name == f.name) return &f;
  return nullptr;
}

const Layout* FindLayout(std::string_view code) {
  for (const Layout& l : AllLayouts())
    if (code == l.code) return &l;
  return nullptr;
}

const Layout& LayoutOfChannel(int channel) {
  return AllLayouts().at(channel - 1);
}

}  // namespace kvor::registers
