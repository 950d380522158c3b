#include "app/command_line/unattended_texts.h"

#include <iterator>

namespace kestrava::cli {

namespace {

struct FaultText {
  ArgumentFault fault;
  LocalText text;  // "%s": the word the fault is about, where the text has one
};

constexpr LocalText kBadArgument = {u"参数错误：", u"bad argument: ", u"引数エラー："};
constexpr LocalText kSeeUsage = {u"（用法：KestravaSetup /?）", u" (usage: KestravaSetup /?)",
                                 u"（使い方：KestravaSetup /?）"};

constexpr FaultText kFaults[] = {
    {ArgumentFault::kTooLong,
     {u"命令行超过 32767 个字符", u"the command line is longer than 32767 characters",
      u"コマンドラインが 32767 文字を超えています"}},
    {ArgumentFault::kUnknownCommand,
     {u"未知命令 %s（install、uninstall、ports、printers 或 help）",
      u"unknown command %s (install, uninstall, ports, printers or help)",
      u"不明なコマンド %s（install、uninstall、ports、printers、help）"}},
    {ArgumentFault::kUnknownOption, {u"未知选项 %s", u"unknown option %s", u"不明なオプション %s"}},
    {ArgumentFault::kMissingValue, {u"%s 需要一个值", u"%s needs a value", u"%s には値が必要です"}},
    {ArgumentFault::kRepeated,
     {u"%s 出现了两次", u"%s is given twice", u"%s が二回指定されています"}},
    {ArgumentFault::kNotForCommand,
     {u"%s 不属于此命令", u"%s does not belong to this command",
      u"%s はこのコマンドのオプションではありません"}},
    {ArgumentFault::kNotForInterface,
     {u"%s 不适用于此接口", u"%s does not belong to this interface",
      u"%s はこのインターフェースには使えません"}},
    {ArgumentFault::kBadModel,
     {u"未知型号 %s（RT-80C、RT-80、RT-58C、RT-58、RT-76C、RT-76）",
      u"unknown model %s (RT-80C, RT-80, RT-58C, RT-58, RT-76C, RT-76)",
      u"不明な機種 %s（RT-80C、RT-80、RT-58C、RT-58、RT-76C、RT-76）"}},
    {ArgumentFault::kBadInterface,
     {u"未知接口 %s（usb、com、lan、ble）", u"unknown interface %s (usb, com, lan, ble)",
      u"不明なインターフェース %s（usb、com、lan、ble）"}},
    {ArgumentFault::kBadPort,
     {u"%s 不是端口名（COM1 至 COM256，USB001 至 USB999）",
      u"%s is no port name (COM1 to COM256, USB001 to USB999)",
      u"%s はポート名ではありません（COM1～COM256、USB001～USB999）"}},
    {ArgumentFault::kBadBaud,
     {u"%s 不是可选的波特率（9600、19200、38400、115200）",
      u"%s is no baud rate of the dialog (9600, 19200, 38400, 115200)",
      u"%s は選択できるボーレートではありません（9600、19200、38400、115200）"}},
    {ArgumentFault::kBadAddress,
     {u"%s 不是打印机地址（四个 0 至 255 的数字，例如 192.168.1.87）",
      u"%s is no printer address (four numbers from 0 to 255, such as 192.168.1.87)",
      u"%s はプリンターのアドレスではありません（0～255 の四つの数字、例：192.168.1.87）"}},
    {ArgumentFault::kBadRelease,
     {u"未知 Windows 版本 %s（11、10、8.1、8、7、vista、2003、xp）",
      u"unknown Windows release %s (11, 10, 8.1, 8, 7, vista, 2003, xp)",
      u"不明な Windows のリリース %s（11、10、8.1、8、7、vista、2003、xp）"}},
    {ArgumentFault::kBadLanguage,
     {u"未知语言 %s（zh、en、ja）", u"unknown language %s (zh, en, ja)",
      u"不明な言語 %s（zh、en、ja）"}},
    {ArgumentFault::kBadSeconds,
     {u"%s 不是 1 至 300 之间的秒数", u"%s is no number of seconds from 1 to 300",
      u"%s は 1～300 の秒数ではありません"}},
    {ArgumentFault::kMissingModel, {u"需要 --model", u"--model is needed", u"--model が必要です"}},
    {ArgumentFault::kMissingInterface,
     {u"需要 --interface", u"--interface is needed", u"--interface が必要です"}},
    {ArgumentFault::kMissingPort,
     {u"COM 和蓝牙需要 --port", u"--port is needed for COM and Bluetooth",
      u"COM と Bluetooth には --port が必要です"}},
    {ArgumentFault::kMissingAddress,
     {u"LAN 需要 --address", u"--address is needed for the LAN", u"LAN には --address が必要です"}},
    {ArgumentFault::kMissingSelection,
     {u"uninstall 需要 --printer、--model 或 --all", u"uninstall needs --printer, --model or --all",
      u"uninstall には --printer、--model、--all のいずれかが必要です"}},
    {ArgumentFault::kTwoSelections,
     {u"--printer、--model 和 --all 只能选一个", u"only one of --printer, --model and --all",
      u"--printer、--model、--all は一つだけ指定してください"}},
};

constexpr const char16_t* kUsageEnglish[] = {
    u"KestravaSetup installs a receipt printer's driver and prepares its port.",
    u"Without arguments it shows its dialog; with them it runs without any window:",
    u"",
    u"  KestravaSetup install --model MODEL --interface usb|com|lan|ble [options]",
    u"      --port PORT        COM3 (com, ble: needed), USB001 (usb: else the first printer)",
    u"      --baud RATE        9600, 19200 (the default), 38400 or 115200 (com, ble)",
    u"      --address A.B.C.D  the printer's IPv4 address (lan: needed)",
    u"      --os RELEASE       11, 10, 8.1, 8, 7, vista, 2003 or xp (default: this system)",
    u"      --default          make the printer the default printer",
    u"      --no-port-check    do not print the port-information page first",
    u"      --test-page        print the test page through the new printer",
    u"      --replace          reuse a printer of the model on the port instead of a copy",
    u"  KestravaSetup uninstall --printer NAME | --model MODEL | --all [--dry-run]",
    u"      removes the printers, then their unused drivers and the ports made for them",
    u"  KestravaSetup ports [--discover SECONDS]   the ports the dialog would list",
    u"  KestravaSetup printers                     the printers of this family",
    u"  Every command: --language zh|en|ja, --log FILE (lines appended, UTF-8).",
    u"  Options also as /name or /name:value; names ignore case.",
    u"  install and uninstall need an elevated prompt; ports, printers, /? and --dry-run do not.",
    u"  Ctrl+C stops the run after the step in hand and starts a stopped spooler again.",
    u"",
    u"Exit codes: 0 done, 10 driver files not copied, 11 driver not registered,",
    u"  12 printer not added, 13 test page failed, 14 printers not listed,",
    u"  15 something left (a printer still printing or marked for deletion, a driver in use),",
    u"  16 serial ports not listed, 17 port not set up, 18 spooler not restarted,",
    u"  19 not the default printer of the user logged on, 740 not elevated,",
    u"  1167 port check failed, 1223 cancelled (Ctrl+C), 1618 another instance running,",
    u"  1639 bad arguments, 1796 no such port or no USB printer, 1801 no such printer,",
    u"  1802 port in use.",
    u"  20 to 24: installed, but the printer told of a fault: 20 out of paper, 21 cover open,",
    u"  22 off line, 23 cutter error, 24 unrecoverable error.",
};

constexpr const char16_t* kUsageChinese[] = {
    u"KestravaSetup 安装小票打印机的驱动程序并准备其端口。",
    u"不带参数时显示对话框；带参数时不显示任何窗口：",
    u"",
    u"  KestravaSetup install --model 型号 --interface usb|com|lan|ble [选项]",
    u"      --port 端口        COM3（com、ble：必需），USB001（usb：否则为第一台打印机）",
    u"      --baud 波特率      9600、19200（默认）、38400 或 115200（com、ble）",
    u"      --address A.B.C.D  打印机的 IPv4 地址（lan：必需）",
    u"      --os 版本          11、10、8.1、8、7、vista、2003 或 xp（默认：本系统）",
    u"      --default          设为默认打印机",
    u"      --no-port-check    不先打印端口信息页",
    u"      --test-page        通过新打印机打印测试页",
    u"      --replace          重用端口上同型号的打印机，而不是添加副本",
    u"  KestravaSetup uninstall --printer 名称 | --model 型号 | --all [--dry-run]",
    u"      删除打印机，再删除不再使用的驱动程序和为其创建的端口",
    u"  KestravaSetup ports [--discover 秒数]      对话框会列出的端口",
    u"  KestravaSetup printers                     本系列的打印机",
    u"  所有命令：--language zh|en|ja，--log 文件（追加行，UTF-8）。",
    u"  选项也可写作 /name 或 /name:value；名称不区分大小写。",
    u"  install 和 uninstall 需要以管理员身份运行的命令提示符；",
    u"  ports、printers、/? 和 --dry-run 不需要。",
    u"  Ctrl+C 在当前步骤完成后停止运行，并重新启动已停止的打印后台程序。",
    u"",
    u"退出代码：0 完成，10 驱动文件未复制，11 驱动未注册，",
    u"  12 打印机未添加，13 测试页失败，14 无法列出打印机，",
    u"  15 有内容被保留（打印机仍在打印或等待删除、驱动仍在使用），",
    u"  16 无法列出串口，17 端口未设置，18 打印后台程序未重新启动，",
    u"  19 未设为当前登录用户的默认打印机，740 无管理员权限，",
    u"  1167 端口检测失败，1223 已取消（Ctrl+C），1618 另一实例正在运行，",
    u"  1639 参数错误，1796 无此端口或无 USB 打印机，1801 无此打印机，",
    u"  1802 端口已被使用。",
    u"  20 至 24：已安装，但打印机报告了故障：20 缺纸，21 机盖打开，",
    u"  22 脱机，23 切刀错误，24 无法恢复的错误。",
};

constexpr const char16_t* kUsageJapanese[] = {
    u"KestravaSetup はレシートプリンターのドライバーをインストールし、ポートを準備します。",
    u"引数なしではダイアログを表示し、引数ありではウィンドウを表示せずに実行します：",
    u"",
    u"  KestravaSetup install --model 機種 --interface usb|com|lan|ble [オプション]",
    u"      --port ポート      COM3（com、ble：必須）、USB001（usb：省略時は最初のプリンター）",
    u"      --baud レート      9600、19200（既定）、38400、115200（com、ble）",
    u"      --address A.B.C.D  プリンターの IPv4 アドレス（lan：必須）",
    u"      --os リリース      11、10、8.1、8、7、vista、2003、xp（既定：このシステム）",
    u"      --default          通常使うプリンターにする",
    u"      --no-port-check    先にポート情報ページを印刷しない",
    u"      --test-page        新しいプリンターでテストページを印刷する",
    u"      --replace          コピーを追加せず、ポート上の同じ機種のプリンターを再利用する",
    u"  KestravaSetup uninstall --printer 名前 | --model 機種 | --all [--dry-run]",
    u"      プリンターを削除し、使われなくなったドライバーと作成したポートも削除する",
    u"  KestravaSetup ports [--discover 秒数]      ダイアログが一覧表示するポート",
    u"  KestravaSetup printers                     このシリーズのプリンター",
    u"  すべてのコマンド：--language zh|en|ja、--log ファイル（UTF-8 で行を追記）。",
    u"  オプションは /name、/name:value でも指定でき、名前の大文字小文字は区別しません。",
    u"  install と uninstall には管理者として実行したコマンドプロンプトが必要です。",
    u"  ports、printers、/?、--dry-run は不要です。",
    u"  Ctrl+C は実行中の手順を終えてから停止し、停止したスプーラーを再び起動します。",
    u"",
    u"終了コード：0 完了、10 ドライバーファイル未コピー、11 ドライバー未登録、",
    u"  12 プリンター未追加、13 テストページ失敗、14 プリンター一覧取得失敗、",
    u"  15 一部を残した（印刷中または削除待ちのプリンター、使用中のドライバー）、",
    u"  16 シリアルポート一覧取得失敗、17 ポート未設定、18 スプーラー未再起動、",
    u"  19 ログオン中のユーザーの通常使うプリンターにならず、740 管理者権限なし、",
    u"  1167 ポートチェック失敗、1223 キャンセル（Ctrl+C）、1618 別のインスタンスが実行中、",
    u"  1639 引数エラー、1796 ポートなし／USB プリンターなし、1801 プリンターなし、",
    u"  1802 ポート使用中。",
    u"  20～24：インストール済みだがプリンターが障害を報告：20 用紙切れ、21 カバー開、",
    u"  22 オフライン、23 カッターエラー、24 回復できないエラー。",
};

template <size_t N>
std::vector<WString> Lines(const char16_t* const (&lines)[N]) {
  return std::vector<WString>(std::begin(lines), std::end(lines));
}

}  // namespace

std::vector<WString> Usage(int32_t language) {
  if (language == kChinese) return Lines(kUsageChinese);
  if (language == kJapanese) return Lines(kUsageJapanese);
  return Lines(kUsageEnglish);
}

WString PortSetUpFaultText(PortSetUpFault fault, int32_t language) {
  struct Row {
    PortSetUpFault fault;
    LocalText text;
  };
  static const Row kRows[] = {
      {PortSetUpFault::kKeyMissing,
       {u"其注册表项不存在", u"its registry key is not there", u"レジストリキーがありません"}},
      {PortSetUpFault::kKeyRefused,
       {u"其注册表项无法打开或创建", u"its registry key cannot be opened or made",
        u"レジストリキーを開くことも作ることもできません"}},
      {PortSetUpFault::kValueRefused,
       {u"注册表拒绝写入一个值", u"the registry refused a value", u"レジストリが値を拒否しました"}},
      {PortSetUpFault::kVersionUnknown,
       {u"无法读取系统版本（未写入 Version，打印后台程序未重新启动）",
        u"the system's version cannot be read (no Version, the spooler not restarted)",
        u"システムのバージョンを読めません（Version なし、スプーラー再起動なし）"}},
      {PortSetUpFault::kMonitorRefused,
       {u"TCP/IP 端口监视器拒绝了它", u"the TCP/IP port monitor refused it",
        u"TCP/IP ポートモニターが拒否しました"}},
  };
  for (const Row& row : kRows) {
    if (row.fault == fault) return row.text.For(language);
  }
  return WString();
}

WString BadArgumentLine(const CommandLine& line, int32_t language) {
  WString reason;
  for (const FaultText& row : kFaults) {
    if (row.fault == line.fault) reason = FormatText(row.text.For(language), {line.faultWord});
  }
  return kBadArgument.For(language) + reason + kSeeUsage.For(language);
}

const LocalText kAnotherInstance = {
    u"程序的另一个实例正在运行，请在其结束后重试",
    u"another instance of the program is running; try again when it has ended",
    u"プログラムの別のインスタンスが実行中です。終了してから再試行してください"};
const LocalText kNotElevated = {
    u"需要管理员权限：请在以管理员身份运行的命令提示符中运行",
    u"administrator rights are needed: run it from an elevated prompt",
    u"管理者権限が必要です：管理者として実行したコマンドプロンプトから実行してください"};
const LocalText kLogNotWritten = {u"日志：无法写入 %s", u"log: %s cannot be written",
                                  u"ログ：%s に書き込めません"};
const LocalText kPayloadUnpacked = {u"驱动文件包：已解压到 %s", u"payload: unpacked into %s",
                                    u"ドライバーパッケージ：%s に展開しました"};
const LocalText kPayloadNotUnpacked = {
    u"驱动文件包：无法解压，驱动文件从 %s 读取",
    u"payload: not unpacked; the driver files are taken from %s",
    u"ドライバーパッケージ：展開できません。ドライバーファイルは %s から読み込みます"};
const LocalText kProgramFolder = {u"程序所在的文件夹", u"the program's folder",
                                  u"プログラムのフォルダー"};
const LocalText kPayloadUntrusted = {
    u"驱动文件包：无法解压，且 %s 不是只有管理员才能更改的文件夹（%s）：不复制任何驱动文件",
    u"payload: not unpacked, and %s is not a folder only administrators can change (%s): no "
    u"driver file is copied",
    u"ドライバーパッケージ：展開できません。%s は管理者だけが変更できるフォルダーではありません"
    u"（%s）：ドライバーファイルはコピーしません"};
const LocalText kSystem = {u"系统：%s %s，安装对象 %s", u"system: %s %s, installing for %s",
                           u"システム：%s %s、インストール対象 %s"};
const LocalText kPort = {u"端口：%s", u"port: %s", u"ポート：%s"};
const LocalText kNoSuchPort = {u"端口：未找到 %s；本机的端口：%s",
                               u"port: %s is not there; this computer has: %s",
                               u"ポート：%s が見つかりません。このコンピューターのポート：%s"};
const LocalText kNoUsbPrinter = {u"端口：没有接入受支持的 USB 打印机",
                                 u"port: no supported USB printer is attached",
                                 u"ポート：対応する USB プリンターが接続されていません"};
const LocalText kNoPorts = {u"无", u"none", u"なし"};
const LocalText kPortInUse = {
    u"端口：%s 上已有打印机 %s（--replace 可重用同型号的打印机）",
    u"port: %s already has the printer %s (--replace reuses a printer of the same model)",
    u"ポート：%s にはすでにプリンター %s があります（--replace で同じ機種のプリンターを再利用）"};
const LocalText kReusing = {u"打印机：重用 %s（端口 %s）", u"printer: %s on %s is reused",
                            u"プリンター：%s（ポート %s）を再利用します"};
const LocalText kPortCheckSkipped = {u"端口检测：跳过", u"port check: skipped",
                                     u"ポートチェック：スキップ"};
const LocalText kPortCheckPassed = {
    u"端口检测：打印机已接收端口信息页", u"port check: the printer took the port-information page",
    u"ポートチェック：プリンターがポート情報ページを受け取りました"};
const LocalText kPortCheckFailed = {
    u"端口检测：失败，打印机未接收端口信息页",
    u"port check: failed: the printer did not take the port-information page",
    u"ポートチェック：失敗。プリンターがポート情報ページを受け取りませんでした"};
const LocalText kSerialSetUp = {u"端口设置：%s = %s", u"port set-up: %s = %s",
                                u"ポート設定：%s = %s"};
const LocalText kSerialNotSetUp = {
    u"端口设置：无法写入 %s 的设置：%s（安装继续）",
    u"port set-up: the settings of %s cannot be written: %s (going on)",
    u"ポート設定：%s の設定を書き込めません：%s（続行します）"};
const LocalText kTcpIpSetUp = {u"端口设置：标准 TCP/IP 端口 %s，RAW，TCP 端口 9100",
                               u"port set-up: Standard TCP/IP port %s, raw, TCP port 9100",
                               u"ポート設定：標準 TCP/IP ポート %s、RAW、TCP ポート 9100"};
const LocalText kTcpIpExisting = {
    u"端口设置：标准 TCP/IP 端口 %s 已存在（RAW，TCP 端口 9100），按原样使用",
    u"port set-up: Standard TCP/IP port %s is there already (raw, TCP port 9100), used as it is",
    u"ポート設定：標準 TCP/IP ポート %s は既にあります（RAW、TCP ポート 9100）。そのまま使います"};
const LocalText kTcpIpNotSetUp = {
    u"端口设置：无法写入标准 TCP/IP 端口 %s：%s（安装继续）",
    u"port set-up: the Standard TCP/IP port %s cannot be written: %s (going on)",
    u"ポート設定：標準 TCP/IP ポート %s を書き込めません：%s（続行します）"};
const LocalText kSerialPortsNotListed = {u"端口：系统拒绝列出串口",
                                         u"port: the system refused to list its serial ports",
                                         u"ポート：システムがシリアルポートの一覧を拒否しました"};
const LocalText kSpoolerNotRestarted = {u"打印后台程序：未重新启动：停止 %s，启动 %s",
                                        u"spooler: not restarted: stop %s, start %s",
                                        u"スプーラー：再起動していません：停止 %s、開始 %s"};
const LocalText kServiceAnswered = {u"返回 %s（%s）", u"answered %s (%s)", u"の応答 %s（%s）"};
const LocalText kServiceDone = {u"完成", u"done", u"完了"};
const LocalText kServiceNotAsked = {u"未请求", u"not asked", u"は要求されませんでした"};
const LocalText kDependentsNotStarted = {
    u"打印后台程序：已重新启动，但依赖它的服务未再次启动：%s",
    u"spooler: restarted, but the services depending on it did not start again: %s",
    u"スプーラー：再起動しましたが、依存するサービスが再び開始しませんでした：%s"};
const LocalText kInstalledBut = {
    u"打印机已安装，但并非每一步都按要求完成：退出代码 %s",
    u"the printer is installed, but not every step went as asked: exit code %s",
    u"プリンターはインストールされましたが、一部の手順は指定どおりになりませんでした：終了コード "
    u"%s"};
const LocalText kDriverFilesCopied = {
    u"驱动文件：已复制到打印后台程序的驱动文件夹",
    u"driver files: copied into the spooler's driver folder",
    u"ドライバーファイル：スプーラーのドライバーフォルダーにコピーしました"};
const LocalText kDriverFilesFailed = {u"驱动文件：失败：%s：错误 %s：%s",
                                      u"driver files: failed: %s: error %s: %s",
                                      u"ドライバーファイル：失敗：%s：エラー %s：%s"};
const LocalText kDriverRegistered = {u"驱动程序：%s 已注册", u"driver: %s registered",
                                     u"ドライバー：%s を登録しました"};
const LocalText kDriverFailed = {u"驱动程序：失败：错误 %s：%s", u"driver: failed: error %s: %s",
                                 u"ドライバー：失敗：エラー %s：%s"};
const LocalText kPrinterAdded = {u"打印机：已添加 %s（端口 %s）", u"printer: %s added on %s",
                                 u"プリンター：%s を追加しました（ポート %s）"};
const LocalText kPrinterUpdated = {u"打印机：已更新 %s（端口 %s）", u"printer: %s on %s updated",
                                   u"プリンター：%s を更新しました（ポート %s）"};
const LocalText kPrinterFailed = {u"打印机：失败：错误 %s：%s", u"printer: failed: error %s: %s",
                                  u"プリンター：失敗：エラー %s：%s"};
const LocalText kDefaultPrinter = {u"默认打印机：%s", u"default printer: %s",
                                   u"通常使うプリンター：%s"};
const LocalText kDefaultPrinterFailed = {
    u"默认打印机：无法将 %s 设为默认打印机：错误 %s：%s",
    u"default printer: %s could not be made the default printer: error %s: %s",
    u"通常使うプリンター：%s を通常使うプリンターにできません：エラー %s：%s"};
const LocalText kDefaultPrinterOfAnother = {
    u"默认打印机：%s 成为程序运行所用帐户 %s 的默认打印机，而不是已登录用户 %s 的",
    u"default printer: %s is the default printer of %s, the account the program runs as, not of "
    u"%s, who is logged on",
    u"通常使うプリンター：%s はプログラムを実行しているアカウント %s "
    u"の通常使うプリンターで、ログオン中の "
    u"%s のものではありません"};
const LocalText kDefaultPrinterNoOneLoggedOn = {
    u"默认打印机：%s 成为程序运行所用帐户 %s 的默认打印机；没有用户登录",
    u"default printer: %s is the default printer of %s, the account the program runs as; no one is "
    u"logged on",
    u"通常使うプリンター：%s はプログラムを実行しているアカウント %s "
    u"の通常使うプリンターです。ログオン中の"
    u"ユーザーはいません"};
const LocalText kTestPagePrinted = {u"测试页：已发送到 %s", u"test page: sent to %s",
                                    u"テストページ：%s に送りました"};
const LocalText kTestPageFailed = {u"测试页：失败：错误 %s：%s", u"test page: failed: error %s: %s",
                                   u"テストページ：失敗：エラー %s：%s"};
const LocalText kMessage = {u"消息：%s", u"message: %s", u"メッセージ：%s"};
const LocalText kDone = {u"完成：%s（端口 %s）", u"done: %s on %s", u"完了：%s（ポート %s）"};
const LocalText kFailed = {u"失败：退出代码 %s", u"failed: exit code %s", u"失敗：終了コード %s"};
const LocalText kPrintersNotListed = {u"打印机：无法列出：错误 %s：%s",
                                      u"printers: cannot be listed: error %s: %s",
                                      u"プリンター：一覧を取得できません：エラー %s：%s"};

const LocalText kPrinterRemoved = {u"打印机：已删除 %s", u"printer: %s removed",
                                   u"プリンター：%s を削除しました"};
const LocalText kPrinterWouldGo = {u"打印机：将删除 %s", u"printer: %s would be removed",
                                   u"プリンター：%s を削除します"};
const LocalText kPrinterStillPrinting = {
    u"打印机：保留 %s：队列中还有 %s 个作业", u"printer: %s left: %s jobs are in its queue",
    u"プリンター：%s を残しました：キューに %s 件のジョブがあります"};
const LocalText kPrinterLeft = {u"打印机：保留 %s：错误 %s：%s", u"printer: %s left: error %s: %s",
                                u"プリンター：%s を残しました：エラー %s：%s"};
const LocalText kPrinterPending = {u"打印机：保留 %s：在其作业结束时删除",
                                   u"printer: %s left: removed when its jobs end",
                                   u"プリンター：%s を残しました：ジョブが終わると削除されます"};
const LocalText kConnectionLeftAlone = {
    u"打印机：%s 是到另一台计算机上打印机的连接，未作改动",
    u"printer: %s is a connection to a printer of another computer; left alone",
    u"プリンター：%s は別のコンピューターのプリンターへの接続です。変更しません"};
const LocalText kDriverRemoved = {u"驱动程序：已删除 %s（%s）及其不再使用的文件",
                                  u"driver: %s (%s) removed with its unused files",
                                  u"ドライバー：%s（%s）を未使用のファイルとともに削除しました"};
const LocalText kDriverWouldGo = {u"驱动程序：将删除 %s（%s）", u"driver: %s (%s) would be removed",
                                  u"ドライバー：%s（%s）を削除します"};
const LocalText kDriverLeft = {u"驱动程序：保留 %s（%s）：错误 %s：%s",
                               u"driver: %s (%s) left: error %s: %s",
                               u"ドライバー：%s（%s）を残しました：エラー %s：%s"};
const LocalText kTcpIpPortRemoved = {u"端口：已删除标准 TCP/IP 端口 %s",
                                     u"port: Standard TCP/IP port %s removed",
                                     u"ポート：標準 TCP/IP ポート %s を削除しました"};
const LocalText kTcpIpPortWouldGo = {u"端口：将删除标准 TCP/IP 端口 %s",
                                     u"port: Standard TCP/IP port %s would be removed",
                                     u"ポート：標準 TCP/IP ポート %s を削除します"};
const LocalText kSerialSetBack = {u"端口：%s 已恢复为 %s", u"port: %s set back to %s",
                                  u"ポート：%s を %s に戻しました"};
const LocalText kSerialWouldBeSetBack = {
    u"端口：%s 将恢复为 %s", u"port: %s would be set back to %s", u"ポート：%s を %s に戻します"};
const LocalText kPortLeft = {u"端口：无法更改 %s", u"port: %s could not be changed",
                             u"ポート：%s を変更できませんでした"};
const LocalText kCancelled = {u"已取消：当前步骤完成后停止（Ctrl+C）",
                              u"cancelled: stopped after the step in hand (Ctrl+C)",
                              u"キャンセル：実行中の手順を終えて停止しました（Ctrl+C）"};
const LocalText kSpoolerStartedAgain = {u"打印后台程序：已停止，已重新启动",
                                        u"spooler: was stopped, started again",
                                        u"スプーラー：停止していたため起動しました"};
const LocalText kSpoolerStillStopped = {
    u"打印后台程序：仍处于停止状态；请运行 net start spooler 启动",
    u"spooler: still stopped; start it with net start spooler",
    u"スプーラー：停止したままです。net start spooler で起動してください"};
const LocalText kSpoolerStateUnknown = {
    u"打印后台程序：无法查询其状态；已请求启动",
    u"spooler: its state could not be told; it was asked to start",
    u"スプーラー：状態を取得できないため開始を要求しました"};
const LocalText kSpoolerRestarted = {u"打印后台程序：已重新启动", u"spooler: restarted",
                                     u"スプーラー：再起動しました"};
const LocalText kNothingToRemove = {u"没有要删除的内容", u"nothing to remove",
                                    u"削除するものはありません"};
const LocalText kNoSuchPrinter = {u"打印机：%s 未安装", u"printer: %s is not installed",
                                  u"プリンター：%s はインストールされていません"};
const LocalText kNotOfFamily = {
    u"打印机：%s 不是本系列的打印机，未作改动",
    u"printer: %s is no printer of this family; left alone",
    u"プリンター：%s はこのシリーズのプリンターではありません。変更しません"};
const LocalText kRemovalDone = {u"完成：所要求的内容已全部删除",
                                u"done: everything asked for was removed",
                                u"完了：指定されたものをすべて削除しました"};
const LocalText kDryRunDone = {u"试运行：未作任何更改", u"dry run: nothing was changed",
                               u"ドライラン：何も変更していません"};

const LocalText kPrinterStatus = {u"打印机状态：%s（%s）", u"printer status: %s (%s)",
                                  u"プリンターの状態：%s（%s）"};
const LocalText kPrinterNoAnswer = {u"打印机状态：无应答（%s）", u"printer status: no answer (%s)",
                                    u"プリンターの状態：応答なし（%s）"};
const LocalText kPrinterFault = {
    u"打印机已安装，但报告了故障：退出代码 %s",
    u"the printer is installed, but it told of a fault: exit code %s",
    u"プリンターはインストールされましたが、障害を報告しました：終了コード %s"};

}  // namespace kestrava::cli
