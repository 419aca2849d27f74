// Built-in concentration curves.
#include "measurement/conc_curves.h"

#include <cmath>

// A curve at one temperature: concentration (mass percent) against u = x / topCond, x the
// conductivity in mS/cm, in four pieces. Piece i covers u from the end of piece i - 1 (0 for
// the first) to pieceEnd[i] (1 for the last) and is a polynomial of degree 5 in
// v = (u - start) / (end - start), constant term first. topCond is the conductivity of the
// unit's largest concentration, or the solution's conductivity maximum where that comes first:
// beyond it the curve has no answer and reads the unit's largest concentration.
struct ConcNode {
    float temperature;
    float topCond;
    float pieceEnd[3];
    float coef[4][6];
};

struct ConcCurve {
    const ConcNode* nodes;
    uint32_t count;
    float lowTemp;   // status 3 below
    float highTemp;  // status 2 above
    float maxConc;
    // Below the first node the first node's curve serves; with this set only its first piece
    // does, and a conductivity above it gives status 3.
    uint8_t firstPieceOnlyBelow;
};

// How the curve tables were made. For each solution, conductivities at 18 C against mass
// percent and their temperature coefficients alpha at 18 C (1/K) after F. Kohlrausch,
// L. Holborn, Das Leitvermoegen der Elektrolyte (Leipzig 1898), as reproduced in the
// International Critical Tables vol. VI; below 5 % from the molar conductivities of
// R. A. Robinson, R. H. Stokes, Electrolyte Solutions (1959). The conductivity at T is
// k(c, T) = k18(c) x (eta(18) / eta(T))^(alpha(c) / alpha_w), eta the viscosity of water (IAPWS
// 2008) and alpha_w = 0.0250 / K its own temperature coefficient at 18 C: conductance follows the
// water's fluidity, at the rate each solution shows at 18 C. Nodes every 10 C; the pieces are
// least-squares fits of that model. Away from the conductivity maximum the tables reproduce it
// within 0.3 % (mass percent); near the maximum, where conductivity hardly changes with
// concentration, within 1.5 %.

// Hydrochloric acid, 18 C (mS/cm): 5 % 394.8, 10 % 630.2, 15 % 745.3, 18.3 % 761.8 (maximum),
// 20 % 761.5, 25 % 722.5; alpha 0.0158 .. 0.0152.
static const ConcNode kHclNodes[] = {
    {-20.0f, 331.8491f, {0.3905406f, 0.7730926f, 0.9665966f},
     {{-0.001788502f, 3.147152f, 0.5205634f, -1.157497f, 2.132759f, -1.04656f},
      {3.606916f, 3.867624f, 2.847547f, -2.687882f, 1.007869f, 0.358534f},
      {9.000334f, 3.63989f, 1.859766f, 1.194553f, -5.326848f, 4.016595f},
      {14.39313f, 2.057099f, -0.7258339f, 9.836371f, -16.43855f, 8.839073f}}},
    {-10.0f, 437.8058f, {0.393072f, 0.7758725f, 0.9678464f},
     {{-0.001788502f, 3.147152f, 0.5205634f, -1.157497f, 2.132759f, -1.046559f},
      {3.606799f, 3.854781f, 2.689917f, -2.164868f, 0.4214658f, 0.5927671f},
      {8.999568f, 3.658902f, 1.77314f, 1.333793f, -5.475416f, 4.093454f},
      {14.39077f, 2.109608f, -1.514393f, 12.26129f, -19.45745f, 10.16445f}}},
    {0.0f, 550.168f, {0.3951713f, 0.7781718f, 0.968878f},
     {{-0.001788502f, 3.147152f, 0.5205635f, -1.157497f, 2.13276f, -1.04656f},
      {3.606682f, 3.844945f, 2.555544f, -1.725024f, -0.06960383f, 0.7885203f},
      {8.99892f, 3.675119f, 1.698909f, 1.455227f, -5.605848f, 4.160394f},
      {14.38845f, 2.165365f, -2.271694f, 14.56173f, -22.30037f, 11.40376f}}},
    {10.0f, 667.5609f, {0.3969573f, 0.7801238f, 0.9697523f},
     {{-0.001788502f, 3.147152f, 0.5205634f, -1.157497f, 2.132759f, -1.046559f},
      {3.606568f, 3.837152f, 2.438676f, -1.346598f, -0.490655f, 0.9560874f},
      {8.99836f, 3.689246f, 1.633984f, 1.562952f, -5.722144f, 4.219693f},
      {14.38618f, 2.222895f, -3.000028f, 16.75265f, -24.99126f, 12.56978f}}},
    {20.0f, 785.1298f, {0.3984616f, 0.7817647f, 0.9704861f},
     {{-0.001788502f, 3.147152f, 0.5205634f, -1.157497f, 2.132759f, -1.04656f},
      {3.606462f, 3.830994f, 2.338462f, -1.024955f, -0.8475132f, 1.097916f},
      {8.99788f, 3.701385f, 1.577998f, 1.65694f, -5.824021f, 4.271365f},
      {14.38402f, 2.279448f, -3.679995f, 18.78179f, -27.47043f, 13.63853f}}},
    {30.0f, 902.7037f, {0.3997602f, 0.7831792f, 0.9711179f},
     {{-0.001788502f, 3.147152f, 0.5205634f, -1.157497f, 2.132759f, -1.04656f},
      {3.606363f, 3.825973f, 2.250662f, -0.7451964f, -1.157171f, 1.220848f},
      {8.997461f, 3.712046f, 1.528685f, 1.74053f, -5.914922f, 4.31727f},
      {14.38196f, 2.334807f, -4.320158f, 20.67961f, -29.77881f, 14.62927f}}},
    {40.0f, 1020.113f, {0.4009015f, 0.7844205f, 0.9716717f},
     {{-0.001788502f, 3.147152f, 0.5205634f, -1.157497f, 2.132759f, -1.04656f},
      {3.60627f, 3.821784f, 2.17252f, -0.4977432f, -1.430517f, 1.329263f},
      {8.997088f, 3.721558f, 1.484573f, 1.815929f, -5.997141f, 4.358637f},
      {14.37998f, 2.388881f, -4.926438f, 22.46696f, -31.9444f, 15.55513f}}},
    {50.0f, 1137.129f, {0.4019178f, 0.7855247f, 0.9721639f},
     {{-0.001788502f, 3.147152f, 0.5205634f, -1.157497f, 2.13276f, -1.04656f},
      {3.606184f, 3.818228f, 2.102178f, -0.2761716f, -1.674846f, 1.426089f},
      {8.996754f, 3.730142f, 1.444675f, 1.884613f, -6.072208f, 4.396286f},
      {14.37809f, 2.441562f, -5.502565f, 24.1572f, -33.98523f, 16.42465f}}},
};

// Nitric acid, 18 C (mS/cm): 6.2 % 312.3, 12.4 % 541.8, 31 % 781.9 (maximum), 49.6 % 633.9;
// alpha 0.0147 .. 0.0139.
static const ConcNode kHno3Nodes[] = {
    {-20.0f, 369.3521f, {0.3727553f, 0.7515491f, 0.9422315f},
     {{0.00792388f, 5.078442f, 3.747842f, -6.775946f, 5.036748f, -1.094434f},
      {6.041155f, 5.665638f, 9.753752f, -28.91888f, 34.3403f, -11.82703f},
      {14.99881f, 7.505398f, 0.272815f, 1.870757f, -1.971945f, 1.32243f},
      {23.97857f, 4.58206f, -5.909074f, 21.37953f, -27.6709f, 13.5972f}}},
    {-10.0f, 474.1375f, {0.3780362f, 0.7548193f, 0.9438694f},
     {{0.00792388f, 5.078442f, 3.747842f, -6.775946f, 5.036748f, -1.094434f},
      {6.041877f, 5.513881f, 10.53745f, -31.23938f, 37.42373f, -13.22648f},
      {14.99873f, 7.475789f, 0.261543f, 1.965243f, -2.098347f, 1.395185f},
      {23.97565f, 4.642118f, -6.775415f, 24.00364f, -31.00665f, 15.11113f}}},
    {0.0f, 582.5403f, {0.3824462f, 0.7575262f, 0.9452218f},
     {{0.00792388f, 5.078442f, 3.747842f, -6.775947f, 5.036749f, -1.094434f},
      {6.042565f, 5.384845f, 11.21379f, -33.24894f, 40.0901f, -14.4346f},
      {14.99866f, 7.451317f, 0.2506306f, 2.048045f, -2.209258f, 1.458641f},
      {23.97288f, 4.702984f, -7.588418f, 26.45473f, -34.109f, 16.51057f}}},
    {10.0f, 693.4761f, {0.3862199f, 0.7598254f, 0.9463683f},
     {{0.00792388f, 5.078442f, 3.747842f, -6.775946f, 5.036747f, -1.094434f},
      {6.043218f, 5.272677f, 11.80895f, -35.02199f, 42.43972f, -15.4977f},
      {14.9986f, 7.430558f, 0.2401763f, 2.121833f, -2.30819f, 1.514965f},
      {23.97026f, 4.763772f, -8.356173f, 28.76038f, -37.0164f, 17.81535f}}},
    {20.0f, 802.6549f, {0.3894139f, 0.7617592f, 0.947331f},
     {{0.00792388f, 5.078442f, 3.747842f, -6.775947f, 5.036748f, -1.094434f},
      {6.043818f, 5.176435f, 12.32479f, -36.56198f, 44.47829f, -16.41898f},
      {14.99854f, 7.413122f, 0.230498f, 2.18648f, -2.394932f, 1.564143f},
      {23.96783f, 4.822124f, -9.06272f, 30.87518f, -39.67442f, 19.00299f}}},
    {30.0f, 910.2303f, {0.3921825f, 0.7634267f, 0.94816f},
     {{0.00792388f, 5.078442f, 3.747842f, -6.775947f, 5.036748f, -1.094434f},
      {6.044374f, 5.092002f, 12.78119f, -37.9268f, 46.28329f, -17.23387f},
      {14.99849f, 7.398108f, 0.2214788f, 2.244198f, -2.472423f, 1.607923f},
      {23.96557f, 4.878233f, -9.720436f, 32.83826f, -42.13478f, 20.0982f}}},
    {40.0f, 1016.28f, {0.3946246f, 0.7648908f, 0.9488869f},
     {{0.00792388f, 5.078442f, 3.747842f, -6.775946f, 5.036748f, -1.094434f},
      {6.044892f, 5.016729f, 13.19103f, -39.15412f, 47.90512f, -17.96542f},
      {14.99844f, 7.384943f, 0.2130274f, 2.29644f, -2.542596f, 1.647448f},
      {23.96343f, 4.932297f, -10.33777f, 34.67637f, -44.43282f, 21.11784f}}},
    {50.0f, 1120.779f, {0.3968063f, 0.7661934f, 0.949533f},
     {{0.00792388f, 5.078442f, 3.747842f, -6.775946f, 5.036748f, -1.094434f},
      {6.045379f, 4.948838f, 13.56302f, -40.26943f, 49.37785f, -18.62922f},
      {14.9984f, 7.37324f, 0.2050781f, 2.344183f, -2.606754f, 1.683489f},
      {23.96141f, 4.984454f, -10.92048f, 36.40749f, -46.59213f, 22.07311f}}},
};

// Sodium hydroxide, 18 C (mS/cm): 2.5 % 108.7, 5 % 196.9, 10 % 312.4, 15 % 346.3 (near the
// maximum), 20 % 327.0; alpha 0.0201 at 5 % rising to 0.0299 at 20 %, so the maximum moves to
// lower concentrations in the cold (13.7 % at 0 C).
static const ConcNode kNaohNodes[] = {
    {0.0f, 206.7459f, {0.3748077f, 0.7773749f, 0.9735078f},
     {{0.000198892f, 2.366807f, 0.2129489f, 0.6161551f, -0.8725856f, 0.4095809f},
      {2.723906f, 3.540631f, -1.383242f, 3.700335f, -1.693968f, -0.07035975f},
      {6.796853f, 3.613756f, -9.236738f, 30.72879f, -40.58052f, 19.61072f},
      {10.87233f, 3.199795f, -12.37172f, 37.30352f, -46.06376f, 20.58097f}}},
    {10.0f, 280.3661f, {0.3734177f, 0.7750068f, 0.9645184f},
     {{0.001093995f, 2.474631f, 0.5023912f, -0.1189471f, -0.0116282f, 0.05373126f},
      {2.887149f, 3.924278f, -3.312217f, 10.77323f, -10.85475f, 3.826544f},
      {7.277772f, 1.479394f, 8.554744f, -22.74801f, 26.54351f, -9.49739f},
      {11.54618f, 3.307985f, -12.8104f, 39.03719f, -48.4593f, 21.72933f}}},
    {20.0f, 363.8124f, {0.3717969f, 0.7721752f, 0.9603541f},
     {{0.001795018f, 2.581881f, 0.7594263f, -0.7943965f, 0.81706f, -0.3052579f},
      {3.051579f, 3.996796f, -2.886266f, 11.67468f, -13.60295f, 5.417706f},
      {7.634904f, 2.969522f, -0.6030428f, 0.03197842f, 6.137031f, -3.96224f},
      {12.15937f, 4.18352f, -19.6582f, 58.79625f, -72.28988f, 31.90141f}}},
    {30.0f, 459.0594f, {0.3670936f, 0.7633486f, 0.9537662f},
     {{0.002128562f, 2.687184f, 0.9188727f, -1.211721f, 1.354676f, -0.5504932f},
      {3.201091f, 3.893249f, -0.9165601f, 7.765673f, -10.66103f, 4.724831f},
      {7.976088f, 3.867361f, -7.518116f, 25.86903f, -27.94871f, 10.55611f},
      {12.80278f, 1.637448f, 1.577523f, -3.519361f, 4.338832f, -0.8698226f}}},
    {40.0f, 563.569f, {0.3499146f, 0.7346435f, 0.9357505f},
     {{0.002125315f, 2.696987f, 0.9139581f, -1.217337f, 1.356151f, -0.5512612f},
      {3.202799f, 3.884406f, -0.4130593f, 6.46868f, -9.434327f, 4.299055f},
      {7.987063f, 3.729571f, -5.527458f, 22.70942f, -26.73524f, 10.6476f},
      {12.78918f, 2.425603f, -1.343734f, 3.102552f, 0.05261211f, -1.053867f}}},
    {50.0f, 676.1746f, {0.335333f, 0.7100563f, 0.920036f},
     {{0.002122362f, 2.705724f, 0.9094969f, -1.222299f, 1.357474f, -0.5519167f},
      {3.204257f, 3.877909f, 0.03300924f, 5.296504f, -8.308043f, 3.904089f},
      {7.997441f, 3.551888f, -3.160815f, 17.72564f, -22.90406f, 9.605975f},
      {12.77937f, 3.052956f, -4.69181f, 13.51044f, -12.59494f, 3.923267f}}},
    {60.0f, 796.1984f, {0.3227711f, 0.6887028f, 0.9061648f},
     {{0.002119658f, 2.713587f, 0.9054176f, -1.226729f, 1.358672f, -0.552485f},
      {3.205515f, 3.873337f, 0.4307558f, 4.233073f, -7.272854f, 3.53798f},
      {8.006273f, 3.386152f, -0.8589948f, 12.34024f, -18.1514f, 8.09634f},
      {12.77643f, 3.372051f, -6.164643f, 18.69622f, -19.68289f, 6.989913f}}},
    {70.0f, 922.8928f, {0.311824f, 0.6699583f, 0.8938093f},
     {{0.00211717f, 2.720713f, 0.9016674f, -1.230716f, 1.359767f, -0.5529839f},
      {3.206607f, 3.870338f, 0.7872703f, 3.265177f, -6.32022f, 3.19865f},
      {8.013493f, 3.247555f, 1.225578f, 7.146727f, -13.2584f, 6.444579f},
      {12.77615f, 3.546818f, -6.749063f, 21.1289f, -23.46665f, 8.757345f}}},
    {80.0f, 1055.46f, {0.3021961f, 0.6533635f, 0.882725f},
     {{0.002114873f, 2.727207f, 0.8982061f, -1.234325f, 1.360773f, -0.5534262f},
      {3.207563f, 3.868619f, 1.108207f, 2.381809f, -5.442471f, 2.884064f},
      {8.019295f, 3.137761f, 3.057034f, 2.369956f, -8.570871f, 4.806279f},
      {12.77684f, 3.652226f, -6.934767f, 22.21879f, -25.51303f, 9.79844f}}},
    {90.0f, 1193.078f, {0.2936645f, 0.6385695f, 0.8727236f},
     {{0.002112746f, 2.733151f, 0.8950016f, -1.23761f, 1.361701f, -0.5538216f},
      {3.208404f, 3.867939f, 1.398184f, 1.573639f, -4.632729f, 2.59229f},
      {8.023928f, 3.053835f, 4.644825f, -1.928007f, -4.228247f, 3.252439f},
      {12.77785f, 3.721369f, -6.936944f, 22.63286f, -26.62009f, 10.42735f}}},
    {100.0f, 1334.929f, {0.2860559f, 0.6253034f, 0.8636557f},
     {{0.002110772f, 2.738612f, 0.8920272f, -1.240611f, 1.362561f, -0.554177f},
      {3.209147f, 3.868098f, 1.661049f, 0.8326235f, -3.884781f, 2.321502f},
      {8.027617f, 2.991657f, 6.014169f, -5.755534f, -0.2719861f, 1.811804f},
      {12.77894f, 3.769973f, -6.853811f, 22.6952f, -27.19771f, 10.81289f}}},
};

// Sulphuric acid, 18 C (mS/cm): 5 % 208.5, 10 % 391.5, 15 % 543.2, 20 % 652.7, 25 % 717.1,
// 30 % 738.8 (maximum), 35 % 724.3; alpha 0.0121 at 5 % rising to 0.0162 at 30 %.
static const ConcNode kH2so4Nodes[] = {
    {-12.0f, 393.962f, {0.3411597f, 0.7345839f, 0.952333f},
     {{-0.003948648f, 4.470988f, 0.7976437f, 0.1629391f, -0.2934083f, 0.06195087f},
      {5.19825f, 6.790401f, 0.02035725f, 0.5640889f, 1.170594f, -0.7507501f},
      {13.00232f, 5.354152f, 0.8698289f, 5.182953f, -9.733955f, 6.141262f},
      {20.70488f, 6.437943f, -28.5016f, 88.30831f, -112.2471f, 51.22194f}}},
    {0.0f, 521.7664f, {0.3208404f, 0.7057743f, 0.9372137f},
     {{-0.003736056f, 4.465583f, 0.8604966f, -0.02449621f, -0.05742077f, -0.04293035f},
      {5.197155f, 7.004101f, -0.4748307f, 1.796352f, -0.3468324f, -0.1824376f},
      {13.00577f, 5.469203f, 2.11559f, 0.8712552f, -4.103806f, 3.459207f},
      {20.78795f, 3.819359f, -4.556081f, 17.5199f, -25.05505f, 13.51812f}}},
    {10.0f, 633.7338f, {0.3074937f, 0.6865041f, 0.9268929f},
     {{-0.003588379f, 4.461821f, 0.9041927f, -0.1548692f, 0.1067992f, -0.1159491f},
      {5.196507f, 7.148903f, -0.7993045f, 2.598551f, -1.359185f, 0.2085276f},
      {13.00714f, 5.579145f, 2.65072f, -1.151184f, -1.422889f, 2.153858f},
      {20.80327f, 3.450643f, 0.3508807f, 2.08723f, -4.822472f, 4.165864f}}},
    {20.0f, 745.9719f, {0.2967283f, 0.6707478f, 0.9183241f},
     {{-0.003464164f, 4.458652f, 0.940969f, -0.2646381f, 0.2451142f, -0.1774709f},
      {5.196031f, 7.268397f, -1.059129f, 3.235271f, -2.176926f, 0.5308226f},
      {13.00786f, 5.68294f, 2.959023f, -2.432833f, 0.2973264f, 1.301821f},
      {20.80789f, 3.420226f, 1.995234f, -3.429402f, 2.831958f, 0.4046862f}}},
    {30.0f, 858.3023f, {0.2877696f, 0.6574833f, 0.9110163f},
     {{-0.00335706f, 4.455915f, 0.9726958f, -0.3593658f, 0.3645121f, -0.2305942f},
      {5.195672f, 7.369771f, -1.273396f, 3.75501f, -2.854242f, 0.8020886f},
      {13.00827f, 5.777914f, 3.146732f, -3.306283f, 1.483755f, 0.7050929f},
      {20.80934f, 3.47532f, 2.605031f, -5.680217f, 6.176453f, -1.359865f}}},
    {40.0f, 970.5511f, {0.2801424f, 0.6460764f, 0.9046609f},
     {{-0.003263027f, 4.453511f, 1.000564f, -0.4425946f, 0.4694436f, -0.277293f},
      {5.195394f, 7.457541f, -1.454061f, 4.188444f, -3.42624f, 1.034234f},
      {13.0085f, 5.864172f, 3.264365f, -3.933113f, 2.345341f, 0.2655911f},
      {20.80969f, 3.550898f, 2.823102f, -6.643571f, 7.753678f, -2.271349f}}},
    {50.0f, 1082.491f, {0.2735382f, 0.6361117f, 0.8990538f},
     {{-0.003179373f, 4.45137f, 1.025365f, -0.5166855f, 0.5628759f, -0.3188838f},
      {5.195175f, 7.534679f, -1.608977f, 4.555861f, -3.916538f, 1.235492f},
      {13.00862f, 5.942499f, 3.338597f, -4.40039f, 2.99534f, -0.07038631f},
      {20.80961f, 3.627598f, 2.875782f, -7.036242f, 8.51328f, -2.770409f}}},
    {60.0f, 1193.843f, {0.2677468f, 0.6273043f, 0.8940537f},
     {{-0.003104225f, 4.449445f, 1.047654f, -0.5832818f, 0.6468742f, -0.3562827f},
      {5.195f, 7.603237f, -1.743542f, 4.871286f, -4.341681f, 1.411744f},
      {13.00868f, 6.013769f, 3.384671f, -4.758921f, 3.500178f, -0.3346162f},
      {20.80937f, 3.699444f, 2.854502f, -7.156446f, 8.862423f, -3.051894f}}},
    {70.0f, 1304.294f, {0.2626186f, 0.6194499f, 0.889559f},
     {{-0.003036223f, 4.447701f, 1.067829f, -0.6435766f, 0.7229387f, -0.3901556f},
      {5.194859f, 7.664692f, -1.861617f, 5.144799f, -4.713698f, 1.567337f},
      {13.0087f, 6.078787f, 3.411853f, -5.040263f, 3.901309f, -0.5470947f},
      {20.80907f, 3.764866f, 2.79992f, -7.141196f, 8.994122f, -3.21116f}}},
    {80.0f, 1413.529f, {0.2580427f, 0.6123961f, 0.8854932f},
     {{-0.002974342f, 4.446115f, 1.086194f, -0.6984716f, 0.7922026f, -0.4210052f},
      {5.194746f, 7.720145f, -1.966066f, 5.383897f, -5.041633f, 1.705586f},
      {13.00869f, 6.138258f, 3.426077f, -5.26507f, 4.225961f, -0.7210488f},
      {20.80876f, 3.823828f, 2.731325f, -7.058072f, 9.006911f, -3.298581f}}},
    {90.0f, 1521.247f, {0.2539338f, 0.6060251f, 0.8817968f},
     {{-0.002917776f, 4.444663f, 1.102985f, -0.7486721f, 0.855553f, -0.4492252f},
      {5.194652f, 7.770454f, -2.05909f, 5.594347f, -5.332505f, 1.829098f},
      {13.00867f, 6.192791f, 3.431266f, -5.447388f, 4.492739f, -0.8655883f},
      {20.80846f, 3.876821f, 2.658262f, -6.942185f, 8.954048f, -3.342424f}}},
    {100.0f, 1627.181f, {0.2502251f, 0.6002435f, 0.8784221f},
     {{-0.002865878f, 4.44333f, 1.118396f, -0.7947496f, 0.9137086f, -0.4751348f},
      {5.194577f, 7.8163f, -2.142412f, 5.780669f, -5.591878f, 1.939964f},
      {13.00863f, 6.242916f, 3.430103f, -5.597112f, 4.714803f, -0.9872008f},
      {20.80819f, 3.924472f, 2.585519f, -6.812363f, 8.865444f, -3.359261f}}},
};

// Phosphoric acid, 18 C (mS/cm): 5 % 29.5, 10 % 56.6, 20 % 112.9, 30 % 165.4, 40 % 207.0,
// 45 % 208.7 (maximum); alpha 0.0100 at 10 % rising to 0.0136 at 40 %. Nodes from 5 C.
static const ConcNode kH3po4Nodes[] = {
    {5.0f, 158.3042f, {0.2192595f, 0.5330316f, 0.8233075f},
     {{0.02636389f, 1.330591f, 17.537f, -20.79744f, 11.18993f, -2.28988f},
      {7.004551f, 10.45676f, -0.1395604f, 1.013465f, -1.80706f, 0.9754367f},
      {17.50197f, 9.801451f, 2.349204f, -5.147712f, 5.060716f, -1.567628f},
      {28.01154f, 6.481982f, 6.142595f, -15.2909f, 13.9976f, -4.345367f}}},
    {10.0f, 171.1188f, {0.2153067f, 0.5267106f, 0.8195348f},
     {{0.02636389f, 1.330591f, 17.537f, -20.79744f, 11.18993f, -2.289879f},
      {7.004274f, 10.56003f, 0.1224047f, -0.2732977f, -0.2748271f, 0.3637573f},
      {17.5025f, 9.843262f, 2.289702f, -4.968637f, 4.789635f, -1.458067f},
      {28.0112f, 6.527283f, 5.982931f, -15.01721f, 13.78887f, -4.295626f}}},
    {20.0f, 196.2651f, {0.2085167f, 0.5157584f, 0.8129316f},
     {{0.02636389f, 1.330591f, 17.537f, -20.79744f, 11.18993f, -2.28988f},
      {7.003449f, 10.75666f, 0.4901587f, -2.349628f, 2.259907f, -0.6604391f},
      {17.50344f, 9.91606f, 2.193816f, -4.686394f, 4.35005f, -1.277902f},
      {28.01065f, 6.604499f, 5.714082f, -14.55805f, 13.43699f, -4.210704f}}},
    {30.0f, 220.834f, {0.2028473f, 0.5065194f, 0.807294f},
     {{0.02636389f, 1.330591f, 17.537f, -20.79744f, 11.18993f, -2.28988f},
      {7.002409f, 10.94061f, 0.7104072f, -3.936498f, 4.264874f, -1.483629f},
      {17.50423f, 9.977922f, 2.119769f, -4.475647f, 4.008985f, -1.13565f},
      {28.01021f, 6.668535f, 5.494359f, -14.18466f, 13.14937f, -4.140349f}}},
    {40.0f, 244.8775f, {0.1980064f, 0.49856f, 0.8023862f},
     {{0.02636389f, 1.330591f, 17.537f, -20.79744f, 11.18993f, -2.289879f},
      {7.001261f, 11.11282f, 0.8302469f, -5.172177f, 5.882754f, -2.158419f},
      {17.50492f, 10.03163f, 2.060784f, -4.313918f, 3.737025f, -1.020374f},
      {28.00985f, 6.723008f, 5.309834f, -13.87259f, 12.90808f, -4.080711f}}},
    {50.0f, 268.4171f, {0.1938041f, 0.4915961f, 0.7980524f},
     {{0.02636389f, 1.330591f, 17.537f, -20.79744f, 11.18993f, -2.28988f},
      {7.000064f, 11.27421f, 0.8795363f, -6.1467f, 7.207669f, -2.719793f},
      {17.50553f, 10.07897f, 2.012678f, -4.187302f, 3.515681f, -0.925114f},
      {28.00954f, 6.770209f, 5.151751f, -13.60647f, 12.70172f, -4.029277f}}},
    {60.0f, 291.4509f, {0.1901106f, 0.4854324f, 0.7941851f},
     {{0.02636389f, 1.330591f, 17.537f, -20.79744f, 11.18993f, -2.289879f},
      {6.998856f, 11.42561f, 0.8782319f, -6.921617f, 8.304656f, -3.192076f},
      {17.50607f, 10.12121f, 1.972727f, -4.086715f, 3.332698f, -0.8452081f},
      {28.00928f, 6.811674f, 5.014253f, -13.376f, 12.52258f, -3.984316f}}},
    {70.0f, 313.9627f, {0.1868334f, 0.4799286f, 0.7907063f},
     {{0.02636389f, 1.330591f, 17.537f, -20.79744f, 11.18993f, -2.28988f},
      {6.99766f, 11.56771f, 0.8402478f, -7.540771f, 9.220493f, -3.59287f},
      {17.50655f, 10.1592f, 1.93907f, -4.005932f, 3.179567f, -0.7773885f},
      {28.00905f, 6.84848f, 4.893288f, -13.17407f, 12.36533f, -3.944617f}}},
    {80.0f, 335.9296f, {0.1839036f, 0.4749801f, 0.7875574f},
     {{0.02636389f, 1.330591f, 17.537f, -20.79744f, 11.18993f, -2.28988f},
      {6.99649f, 11.70114f, 0.77562f, -8.036528f, 9.990046f, -3.935367f},
      {17.50699f, 10.1936f, 1.910378f, -3.940515f, 3.050143f, -0.719276f},
      {28.00885f, 6.88142f, 4.785908f, -12.9955f, 12.22608f, -3.909287f}}},
};

static const ConcCurve kCurveHcl = {kHclNodes, sizeof(kHclNodes) / sizeof(kHclNodes[0]), -20.0f, 50.0f,
                                    kConcMaxHcl, 0};
static const ConcCurve kCurveHno3 = {kHno3Nodes, sizeof(kHno3Nodes) / sizeof(kHno3Nodes[0]), -20.0f, 50.0f,
                                     kConcMaxHno3, 0};
static const ConcCurve kCurveNaoh = {kNaohNodes, sizeof(kNaohNodes) / sizeof(kNaohNodes[0]), 0.0f, 100.0f,
                                     kConcMaxNaoh, 0};
static const ConcCurve kCurveH2so4 = {kH2so4Nodes, sizeof(kH2so4Nodes) / sizeof(kH2so4Nodes[0]), -12.0f,
                                      100.0f, kConcMaxH2so4, 0};
// Phosphoric acid has no lower temperature bound for its dilute part.
static const ConcCurve kCurveH3po4 = {kH3po4Nodes, sizeof(kH3po4Nodes) / sizeof(kH3po4Nodes[0]), -INFINITY,
                                      80.0f, kConcMaxH3po4, 1};

// Sodium chloride at 25 C, mass percent against x in mS/cm. Molar conductivities of
// R. A. Robinson, R. H. Stokes, Electrolyte Solutions (1959) up to 1 mol/L (0.1 mol/L: 106.74,
// 1 mol/L: 85.8 S cm2/mol), above that F. Kohlrausch, L. Holborn (1898) at 18 C referred to
// 25 C as the acid curves are (5 % 77.6, 10 % 139.6, 20 % 225.9, 26 % 248.3 mS/cm), continued to
// 256.1 mS/cm at 28 %. Least-squares fits; within 0.4 % up to 25 %, 0.75 % above.
// p4: x up to 20 mS/cm, through the origin; also unit 9's curve (x 10000: mg/L).
static const float kNaclLow[5] = {
    0.0f, 0.04802486f, 0.00116405f, -6.703255e-05f, 1.602792e-06f,
};
// p6: x from 20 to 256.1 mS/cm.
static const float kNaclHigh[7] = {
    3.315286e-06f, 0.0001121513f, 0.002606509f, -4.036652e-05f, 3.046497e-07f, -1.095256e-09f, 1.530782e-12f,
};
static constexpr float kNaclLowTemp = -40.0f;
static constexpr float kNaclHighTemp = 100.0f;
static constexpr float kNaclTopCond = 256.1f;      // mS/cm, 28 %
static constexpr float kNaclLowCurveEnd = 20.0f;   // mS/cm: below it the dilute curve serves
static constexpr float kPureWaterCond = 5.5e-5f;   // mS/cm: water alone, no salt
// Unit 9's straight line: mg/L of NaCl at infinite dilution per S/cm (58.44 g/mol over
// 126.47 S cm2/mol) and its offset.
static constexpr float kTdsSlope = 462060.0f;
static constexpr float kTdsOffset = -0.025416f;
static constexpr float kMgPerLitrePerPercent = 10000.0f;
// Unit 10 against unit 9.
static constexpr float kTdsUnit10Factor = 0.8407f;

static float Horner(const float* coef, uint32_t count, float x) {
    float r = 0.0f;
    for (uint32_t i = count; i > 0; --i) r = r * x + coef[i - 1];
    return r;
}

static float Limit(float value, float high) { return value < 0.0f ? 0.0f : (value > high ? high : value); }

// Concentration of node n at u from its first pieces; 0 when u lies beyond them.
static uint32_t EvalNode(const ConcNode& n, float u, uint32_t pieces, float* conc) {
    float start = 0.0f;
    for (uint32_t i = 0; i < pieces; ++i) {
        const float end = i < 3 ? n.pieceEnd[i] : 1.0f;
        if (u <= end) {
            *conc = Horner(n.coef[i], 6, (u - start) / (end - start));
            return 1;
        }
        start = end;
    }
    return 0;
}

// Checks the inputs and the temperature range; 1 when the curve may be read.
static uint32_t CheckInputs(float k, float t, float low, float high, uint32_t* status) {
    *status = 0;
    if (std::isnan(k) || std::isnan(t)) {
        *status = 2;
        return 0;
    }
    if (t < low) {
        *status = 3;
        return 0;
    }
    if (t > high) {
        *status = 2;
        return 0;
    }
    return 1;
}

static float EvalCurve(const ConcCurve& curve, float k, float t, uint32_t* status) {
    if (!CheckInputs(k, t, curve.lowTemp, curve.highTemp, status)) return 0.0f;
    const float x = k * 1000.0f;
    if (!(x > 0.0f)) return 0.0f;
    const ConcNode* nodes = curve.nodes;
    uint32_t pieces = 4;
    if (t < nodes[0].temperature) {
        t = nodes[0].temperature;
        if (curve.firstPieceOnlyBelow) pieces = 1;
    }
    uint32_t j = 0;
    while (j + 2 < curve.count && t > nodes[j + 1].temperature) ++j;
    const ConcNode& a = nodes[j];
    const ConcNode& b = nodes[j + 1];
    const float q = (t - a.temperature) / (b.temperature - a.temperature);
    // The top conductivity changes by a near-constant factor per degree: interpolated
    // geometrically, so u keeps its meaning between the nodes.
    const float top = a.topCond * std::pow(b.topCond / a.topCond, q);
    const float u = x / top;
    float ca = 0.0f;
    float cb = 0.0f;
    if (!EvalNode(a, u, pieces, &ca) || !EvalNode(b, u, pieces, &cb)) {
        if (pieces == 1) {
            *status = 3;
            return 0.0f;
        }
        return curve.maxConc;
    }
    return Limit(ca + (cb - ca) * q, curve.maxConc);
}

float Conc_CalcFromCondUnit3(float k, float t, uint32_t* status) { return EvalCurve(kCurveHcl, k, t, status); }
float Conc_CalcFromCondUnit4(float k, float t, uint32_t* status) { return EvalCurve(kCurveHno3, k, t, status); }
float Conc_CalcFromCondUnit6(float k, float t, uint32_t* status) { return EvalCurve(kCurveNaoh, k, t, status); }
float Conc_CalcFromCondUnit7(float k, float t, uint32_t* status) { return EvalCurve(kCurveH2so4, k, t, status); }
float Conc_CalcFromCondUnit8(float k, float t, uint32_t* status) { return EvalCurve(kCurveH3po4, k, t, status); }

float Conc_CalcFromCondUnit5(float k, float t, uint32_t* status) {
    if (!CheckInputs(k, t, kNaclLowTemp, kNaclHighTemp, status)) return 0.0f;
    const float x = k * 1000.0f;
    if (x > kNaclTopCond) return kConcMaxNacl;
    if (x <= kPureWaterCond) return 0.0f;
    // Below 20 mS/cm the dilute NaCl curve itself: unit 9 takes the smaller of it and the
    // infinite-dilution line, which is always the line, and would read up to a sixth low here
    // and jump by a quarter at 20 mS/cm.
    if (x < kNaclLowCurveEnd) return Limit(Horner(kNaclLow, 5, x), kConcMaxNacl);
    return Limit(Horner(kNaclHigh, 7, x), kConcMaxNacl);
}

float Conc_CalcTdsUnit9(float k, float, uint32_t* status) {
    *status = 0;
    if (std::isnan(k)) {
        *status = 2;
        return 0.0f;
    }
    const float curve = Horner(kNaclLow, 5, k * 1000.0f) * kMgPerLitrePerPercent;
    const float line = kTdsSlope * k + kTdsOffset;
    const float result = curve < line ? curve : line;
    return result < 0.0f ? 0.0f : result;
}

float Conc_CalcTdsUnit10(float k, float t, uint32_t* status) { return Conc_CalcTdsUnit9(k, t, status) * kTdsUnit10Factor; }
