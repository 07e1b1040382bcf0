// Every text of the program, Chinese and English, by id. Rows stay in the order of StrId (the
// check below the table fails the build otherwise).

#include "res/Strings.h"

#include <array>

namespace {

using enum StrId;

constexpr StrEntry kTable[] = {
    {Prompt, "提示", "Prompting"},
    {Warning, "警告", "Warning"},
    {Connected, "已连接设备", "Connected device"},
    {NotConnected, "未连接设备", "Not connected devices"},

    {UsbFail, "连接失败  请检查USB线缆是否插好或\n该设备已经连接上了另一软件!", "Connection failure!"},
    {WifiFail, "连接失败  请检查WIFI是否已连接到设备或\n该设备已经连接上了另一软件!", "Connection failure!"},
    {NoConnection, "没有连接可以打开", "No connection can be opened"},
    {UsbAccessDenied, "已找到设备，但没有访问权限。请安装 udev 规则 %1（make install），然后重新插入设备。",
     "The device is connected but this user may not open it. Install the udev rule %1 (make install), then plug "
     "the device in again."},
    {DeviceVersionLow,
     "设备版本比PC软件版本号低，只有版本号为“MPZ4-WV%1.01到MPZ4-WV%1.99”之间的设备才能和该版本的PC软件连接。",
     " If device version is lower than the software version, only the device at version, MPZ4_WV%1.01 to "
     "MPZ4_WV%1.99, can be connected with this software."},
    {SoftwareVersionLow,
     "PC软件版本比设备版本号低，只有版本号为“PPZ4-WV%1.01到PPZ4-WV%1.99”之间的PC软件才能和该版本的设备连接。",
     " If software version is lower than the device version, only the software at version, PPZ4_WV%1.01 to "
     "PPZ4_WV%1.99, can be connected with this device."},
    {WifiResetOk, "恢复WIFI出厂设置成功", "Load WIFI factory default success"},
    {WifiResetFail, "恢复WIFI出厂设置失败", "Load WIFI factory default failure"},

    {AskRestoreEq, "是否恢复所有均衡?", "Whether Restore All EQ?"},
    {AskBypassEq, "是否直通所有均衡?", "Whether ByPass All EQ?"},
    {AskResetEq, "是否重置所有均衡?", "Whether the reset All EQ?"},
    {AskPeqToGeq, "是否把参量均衡模式转换为图示均衡模式?", "Whether the PEQ Mode convert to GEQ Mode?"},
    {AskGeqToPeq, "是否把图示均衡模式转换为参量均衡模式?", "Whether the GEQ Mode convert to PEQ Mode?"},

    {SoftwareVersion, "软件版本 DURE-RO1.01", "Software version DURE-RO1.01"},
    {VersionCaption, "关于", "About"},
    {VersionHelpButton, "帮助", "Help"},
    {DeviceVersionLine, "设备版本 %1", "Device version %1"},
    {VersionTextLine, "ZK-470 数字音频处理器调音软件", "ZK-470 DSP tuning software"},
    {HelpCaption, "帮助", "Help"},
    {HelpMissing, "没有发现帮助文件!", "Not find help file!"},
    {ExitQuestion, "是否保存当前场景文件?", "Whether to save the current Presets file?"},
    {AboutVersionLine, "TQ-900 Version 1.0", "TQ-900 Version 1.0"},

    {StripChannel, "通道%1", "CH%1"},
    {StripGain, "增益", "GAIN"},
    {StripDelay, "延时", "DELAY"},
    {StripRouteLine, "线路", "LINE"},
    {StripRouteBluetooth, "蓝牙", "BT"},
    {StripRouteDigital, "光纤", "OPT"},
    {StripLink, "联调", "LINK"},
    {StripPhaseNormal, "正相", "0°"},
    {StripPhaseInverted, "反相", "180°"},
    {StripMaster, "总音量", "MASTER"},
    {StripOverlay, "曲线", "CURVE"},
    {SourceHiLevel, "高%1", "Hi.%1"},
    {SourceAux, "低%1", "AUX%1"},
    {SourceSpdifLeft, "光左", "SP-L"},
    {SourceSpdifRight, "光右", "SP-R"},
    {SourceBluetoothLeft, "蓝左", "BLE-L"},
    {SourceBluetoothRight, "蓝右", "BLE-R"},

    {Ok, "确定", "OK"},
    {Cancel, "取消", "Cancel"},
    {Yes, "是", "YES"},
    {No, "否", "NO"},
    {Quit, "退出", "Quit"},

    {XferTitle, "数据传输", "Data transmission"},
    {XferRunning, "数据正在传输中", "Data transmission"},
    {XferDone, "数据传输结束", "End of data transmission"},
    {ResetTitle, "高级", "Advanced"},
    {ResetRunning, "正在恢复出厂设置", "Load factory defaults"},
    {ResetDone, "恢复出厂设置成功", "Load factory default success"},

    {ResetConfirmTitle, "恢复出厂设置", "Warning!"},
    {ResetConfirmHeading, "警告!", "Warning! "},
    {ResetConfirmText, "   该操作将引起设备重启并恢复到出厂时的状态", "   This operation will restore factory Settings"},
    {ResetConfirmCancel, "取消", "Quit"},

    {Off, "关闭", "OFF"},
    {UnitMs, "毫秒", "MS"},
    {UnitCm, "厘米", "CM"},
    {UnitInch, "英寸", "INCH"},
    {FamilyLinkwitzRiley, "宁克", "Link_Ril"},
    {FamilyButterworth, "巴特沃斯", "Butter_W"},
    {FamilyBessel, "贝塞尔", "Bessel"},
    {BandPeq, "参量均衡", "PEQ"},
    {BandLowShelf, "低架", "Lo_Shf"},
    {BandHighShelf, "高架", "Hi_Shf"},
    {PolarityNormal, "正相", "Pol+"},
    {PolarityInverted, "反相", "Pol-"},
    {MicLevelOff, " 关 ", " OFF "},
    {MicLevel, " %1级", " %1Level"},
    {CharLenError, "字符长度错误!", "Char len error!"},
    {InputSourceHiLevel, "高电平", "Hi.Level"},
    {InputSourceAux, "AUX", "AUX"},
    {InputSourceSpdif, "光纤", "SPDIF"},
    {InputSourcePhone, "蓝牙", "Phone"},

    {SpeakerNone, "空", "NULL"},
    {SpeakerFlTweeter, "前置左高频", "FL-Tweeter"},
    {SpeakerFlMidrange, "前置左中频", "FL-Midrange"},
    {SpeakerFlWoofer, "前置左低频", "FL-Woofer"},
    {SpeakerFlMidTweeter, "前置左中高频", "FL-M && T"},
    {SpeakerFlMidWoofer, "前置左中低频", "FL-M && WF"},
    {SpeakerFlFull, "前置左全频", "FL-Full"},
    {SpeakerFrTweeter, "前置右高频", "FR-Tweeter"},
    {SpeakerFrMidrange, "前置右中频", "FR-Midrange"},
    {SpeakerFrWoofer, "前置右低频", "FR-Woofer"},
    {SpeakerFrMidTweeter, "前置右中高频", "FR-M && T"},
    {SpeakerFrMidWoofer, "前置右中低频", "FR-M && WF"},
    {SpeakerFrFull, "前置右全频", "FR-Full"},
    {SpeakerRlTweeter, "后置左高频", "RL-Tweeter"},
    {SpeakerRlWoofer, "后置左低频", "RL-Woofer"},
    {SpeakerRlFull, "后置左全频", "RL-Full"},
    {SpeakerRrTweeter, "后置右高频", "RR-Tweeter"},
    {SpeakerRrWoofer, "后置右低频", "RR-Woofer"},
    {SpeakerRrFull, "后置右全频", "RR-Full"},
    {SpeakerCTweeter, "中置高频", "C-Tweeter"},
    {SpeakerCWoofer, "中置低频", "C-Woofer"},
    {SpeakerCFull, "中置全频", "C-Full"},
    {SpeakerLSubwoofer, "左超低频", "L-Subwoofer"},
    {SpeakerRSubwoofer, "右超低频", "R-Subwoofer"},
    {SpeakerSubwoofer, "超低频", "Subwoofer"},

    {AskFirmwareUpdateTo, "是否将当前固件更新到%1版本?", "Firmware Update to%1?"},
    {TipUpdateBegins, "固件更新开始 请勿中断", "Firmware update begins Do not interrupt"},
    {TipProgramming, "数据传输中 请勿中断", "Programming Do not interrupt"},
    {TipErasing, "擦除中......", "Erasing......"},
    {TipUsbConnected, "连接Usb", "Connected Usb"},
    {TipNetConnected, "连接网络", "Connected NetWork"},
    {UpdateDone, "更新完成", "Update successfully"},
    {UpdateFailed, "固件更新失败", "The firmware update failed"},
    {UpdateFailedBang, "固件更新失败!", "The firmware update failed!"},
    {DeviceNeedsUpdate, "设备异常 请更新固件!", "Please Update the Firmware!"},
    {UpdateFileError, "更新文件错误!", "Update file error!"},
    {AskQuitUpdate, "更新未完成，强行退出会损坏设备，是否退出?",
     "Update is not completed, will be forced to exit the damaged equipment, whether to exit?"},

    {UpdateTitle, "设备固件更新", "Device Firmware Update"},
    {UpdateFileFrame, "Hex文件", "Update File"},
    {UpdateBrowse, "浏览文件", "Browse file"},
    {UpdateStart, "更新", "Update"},

    {ConnectTitle, "联机", "Link"},
    {ConnectUsb, "使用USB连接到设备", "Use the USB connect to the device"},
    {ConnectWifi, "使用WIFI无线连接到设备", "Use the WIFI connect to the device"},
    {ConnectCom, "使用COM连接到设备", "Use the COM connect to the device"},

    {SavePresetFileError, "保存场景文件错误!", "Save presets file error!"},
    {ReadPresetFileError, "读场景文件错误!", "Read presets file  error!"},
    {SaveAllPresetsFileError, "保存整机场景文件错误!", "Save all presets file error!"},
    {ReadAllPresetsFileError, "读整机场景文件错误!", "Read all presets file error!"},
    {SaveOutputMapError, "保存输出配置错误!", "Save output map error!"},
    {ReadOutputMapError, "读输出配置错误!", "Read output map error!"},
    {PresetCustom, "自定义", "Custom"},
    {PresetDeviceOffline, "设备未连接!", "No device is connected!"},
    {PresetLoadTitle, "加载 机器预置场景", "Load Machine Preset"},
    {PresetLoadButton, "加载", "Load"},
    {PresetSaveAsTitle, "另存为 机器预置场景", "Save As Machine Preset"},
    {PresetSaveButton, "保存", "Save"},
    {PresetDeleteTitle, "删除 机器预置场景", "Delete Machine Preset"},
    {PresetDeleteButton, "删除", "Delete"},
    {PresetHeaderNumber, "序号", "No."},
    {PresetHeaderName, "场景名", "Preset"},
    {PresetNameEmpty, "机器预置场景名不能为空!", "The machine preset name can not be empty!"},
    {PresetNameBlank, "机器预置场景名不能全为空格!", "The machine preset name can not be all spaces!"},
    {PresetNameDuplicate, "已有相同的机器预置场景名!", "Have been the same machine preset name!"},
    {PresetAskDelete, "是否删除第%1组场景?", "Are you delete No.%1 preset?"},
    {PresetNameTitle, "请输入场景名", "Please enter the preset name"},
    {PresetNameLabel, "序号:%1", "No.%1"},

    {MenuOptions, "选项", "Options"},
    {MenuFirmwareUpdate, "固件更新", "Firmware Update"},
    {MenuFactoryReset, "恢复出厂设置", "Factory Reset"},
    {MenuLoadMachinePreset, "加载 机器预置场景(&E)", "Load Machine Preset(&E)"},
    {MenuSaveMachinePreset, "另存为 机器预置场景(&I)", "Save As Machine Preset(&I)"},
    {MenuDeleteMachinePreset, "删除 机器预置场景(&D)", "Delete Machine Preset(&D)"},
    {MenuLoadPresetFile, "加载 电脑上场景文件(&O)", "Load PC Presets File(&O)"},
    {MenuLoadAllPresets, "加载 整机场景", "Load All Presets"},
    {MenuSavePresetFile, "另存为 电脑上场景文件(&S)", "Save As PC Presets File(&S)"},
    {MenuSaveAllPresets, "保存 整机场景", "Save All Presets"},
    {MenuAdvanced, "高级", "Advanced"},
    {MenuLanguage, "English", "Chinese"},
    {MenuLanguageChinese, "中文", "中文"},
    {MenuHelp, "帮助(&F)", "Help(&F)"},
    {MenuAbout, "关于(&A)...", "About(&A)"},

    {OutFamilyLinkwitzRiley, "宁克-锐", "Link_Ril"},
    {OutHighPass, "高通", "HIGH PASS"},
    {OutLowPass, "低通", "LOW PASS"},
    {OutFilterType, "类型", "TYPE"},
    {OutFrequency, "频率", "FREQUENCY"},
    {OutSlope, "斜率", "SLOPE"},
    {OutBandRow, "频段", "BAND"},
    {OutFreqRow, "频率", "Hz"},
    {OutQRow, "Q值", "Q"},
    {OutGainRow, "增益", "dB"},
    {OutBypassRow, "直通", "BYPASS"},
    {OutPeq, "参量", "PEQ"},
    {OutGeq, "图示", "GEQ"},
    {OutAllBypass, "直通", "BYPASS"},
    {OutAllRestore, "恢复均衡", "RESTORE"},
    {OutEqReset, "重置", "RESET"},
    {OutPolarityNormal, "正相", "NORMAL"},
    {OutPolarityInverted, "反相", "INVERT"},
    {OutUnitMillisecond, "毫秒", "Millisecond"},
    {OutUnitCentimeter, "厘米", "Centimeter"},
    {OutUnitInch, "英寸", "Inch"},
    {OutUnitMs, "毫秒", "ms"},
    {OutUnitCm, "厘米", "cm"},
    {OutUnitInchShort, "英寸", "inch"},
    {OutDelayUnit, "延时单位", "DELAY UNIT"},
    {OutEqualiser, "均衡", "EQUALISER"},
    {OutCrossover, "分频", "CROSSOVER"},
};

constexpr bool InIdOrder()
{
    if (std::size(kTable) != static_cast<std::size_t>(StrId::Count))
        return false;
    for (std::size_t i = 0; i < std::size(kTable); ++i) {
        if (static_cast<std::size_t>(kTable[i].id) != i || !kTable[i].zh || !kTable[i].en)
            return false;
    }
    return true;
}
static_assert(InIdOrder(), "one row per StrId, in the order of the enumeration");

}  // namespace

std::span<const StrEntry> StringTable() { return kTable; }
