<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja_JP">
<context>
    <name>AboutPelmorine</name>
    <message>
        <source>about Pelmorine</source>
        <translation>Pelmorineについて</translation>
    </message>
    <message>
        <source>Version: 4.0.1.0 </source>
        <translation>バージョン: 4.0.1.0 </translation>
    </message>
    <message>
        <source>Copyright (C) ZqvProject. All rights reserved.</source>
        <translation>Copyright (C) ZqvProject. All rights reserved.</translation>
    </message>
    <message>
        <source>WebSite</source>
        <translation>Webサイト</translation>
    </message>
    <message>
        <source>License</source>
        <translation>ライセンス</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>閉じる</translation>
    </message>
</context>
<context>
    <name>AddGroup</name>
    <message>
        <source>Add group</source>
        <translation>グループの追加</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>名前</translation>
    </message>
    <message>
        <source>Account</source>
        <translation>アカウント</translation>
    </message>
    <message>
        <source>send mail</source>
        <translation>送信用メール</translation>
    </message>
    <message>
        <source>if send addr is same as Pelmorine account,  optional</source>
        <translation>送信アドレスが Pelmorine アカウントと同じ場合は省略可</translation>
    </message>
    <message>
        <source>redmine no</source>
        <translation>Redmine利用なし</translation>
    </message>
    <message>
        <source>admin privileges</source>
        <translation>管理者権限</translation>
    </message>
    <message>
        <source>Users</source>
        <translation>ユーザー</translation>
    </message>
    <message>
        <source>FirstName  </source>
        <translation>名  </translation>
    </message>
    <message>
        <source>LastName  </source>
        <translation>姓  </translation>
    </message>
    <message>
        <source>ID            </source>
        <translation>ID            </translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>CANCEL</source>
        <translation>キャンセル</translation>
    </message>
    <message>
        <source>Modify group</source>
        <translation>グループの変更</translation>
    </message>
    <message>
        <source>redmine yes</source>
        <translation>Redmine利用あり</translation>
    </message>
    <message>
        <source>unser users info</source>
        <translation>ユーザー情報未設定</translation>
    </message>
    <message>
        <source>Under Process</source>
        <translation>処理中</translation>
    </message>
</context>
<context>
    <name>AddReference</name>
    <message>
        <source>Add reference</source>
        <translation>参照の追加</translation>
    </message>
    <message>
        <source>Extention</source>
        <translation>拡張子</translation>
    </message>
    <message>
        <source>exe filename</source>
        <translation>実行ファイル名</translation>
    </message>
    <message>
        <source>Ref</source>
        <translation>参照</translation>
    </message>
    <message>
        <source>Msg</source>
        <translation>メッセージ</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>CANCEL</source>
        <translation>キャンセル</translation>
    </message>
    <message>
        <source>Mod reference</source>
        <translation>参照の変更</translation>
    </message>
    <message>
        <source>extention name is not set</source>
        <translation>拡張子が設定されていません</translation>
    </message>
    <message>
        <source>exefile is not set</source>
        <translation>実行ファイルが設定されていません</translation>
    </message>
    <message>
        <source>Reference Execution file</source>
        <translation>参照用の実行ファイル</translation>
    </message>
    <message>
        <source>set_application</source>
        <translation>アプリケーションに設定</translation>
    </message>
    <message>
        <source>All files (*)</source>
        <translation>すべてのファイル (*)</translation>
    </message>
</context>
<context>
    <name>AddUserDiag</name>
    <message>
        <source>Add User</source>
        <translation>ユーザーの追加</translation>
    </message>
    <message>
        <source>User Name</source>
        <translation>ユーザー名</translation>
    </message>
    <message>
        <source>Email Address</source>
        <translation>メールアドレス</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>CANCEL</source>
        <translation>キャンセル</translation>
    </message>
</context>
<context>
    <name>Calendar</name>
    <message>
        <source>Set Start Date</source>
        <translation>開始日の設定</translation>
    </message>
    <message>
        <source>Set Target Date</source>
        <translation>目標日の設定</translation>
    </message>
    <message>
        <source>Set Completion Date</source>
        <translation>完了日の設定</translation>
    </message>
    <message>
        <source>Dialog</source>
        <translation>ダイアログ</translation>
    </message>
    <message>
        <source>Unfinished</source>
        <translation>未完了</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>CANCEL</source>
        <translation>キャンセル</translation>
    </message>
    <message>
        <source>Start Date &gt; Target Date</source>
        <translation>開始日 &gt; 目標日</translation>
    </message>
    <message>
        <source>Start Date is not set</source>
        <translation>開始日が設定されていません</translation>
    </message>
    <message>
        <source>Start Date &gt; Completion Date</source>
        <translation>開始日 &gt; 完了日</translation>
    </message>
    <message>
        <source>Lclass minimum start date:</source>
        <translation>大分類の最も早い開始日:</translation>
    </message>
    <message>
        <source>at first, Manager Start date must be set</source>
        <translation>先にメンバーの開始日を設定してください</translation>
    </message>
    <message>
        <source>Manger Start Date:</source>
        <translation>メンバーの開始日:</translation>
    </message>
    <message>
        <source>Sclass Start date:</source>
        <translation>小分類の開始日:</translation>
    </message>
    <message>
        <source>at first, Lclass start date must be set</source>
        <translation>先に大分類の開始日を設定してください</translation>
    </message>
    <message>
        <source>LClass Start Date:</source>
        <translation>大分類の開始日:</translation>
    </message>
    <message>
        <source>at first, Model Start date must be set</source>
        <translation>先にモデルの開始日を設定してください</translation>
    </message>
    <message>
        <source>Model Start Date:</source>
        <translation>モデルの開始日:</translation>
    </message>
    <message>
        <source>Minimu Lclass Start Date:</source>
        <translation>大分類の最も早い開始日:</translation>
    </message>
    <message>
        <source>Lclass max target date:</source>
        <translation>大分類の最も遅い目標日:</translation>
    </message>
    <message>
        <source>at first, you must set Manager Target date</source>
        <translation>先にメンバーの目標日を設定してください</translation>
    </message>
    <message>
        <source>Manager Target date:</source>
        <translation>メンバーの目標日:</translation>
    </message>
    <message>
        <source>Sclass Target date:</source>
        <translation>小分類の目標日:</translation>
    </message>
    <message>
        <source>Target date of LClass is not set</source>
        <translation>大分類の目標日が設定されていません</translation>
    </message>
    <message>
        <source>LClass Target date:</source>
        <translation>大分類の目標日:</translation>
    </message>
    <message>
        <source>Max Target date:</source>
        <translation>最も遅い目標日:</translation>
    </message>
    <message>
        <source>at first, you must set Model Target date</source>
        <translation>先にモデルの目標日を設定してください</translation>
    </message>
    <message>
        <source>Model Target date:</source>
        <translation>モデルの目標日:</translation>
    </message>
    <message>
        <source>All Lclass is not competion</source>
        <translation>完了していない大分類があります</translation>
    </message>
    <message>
        <source>Lclass Maximum completion date:</source>
        <translation>大分類の最も遅い完了日:</translation>
    </message>
    <message>
        <source>All Sclass is not completion</source>
        <translation>完了していない小分類があります</translation>
    </message>
    <message>
        <source>Maximum Slclass completion date:</source>
        <translation>小分類の最も遅い完了日:</translation>
    </message>
    <message>
        <source>All Lclasses is not completion</source>
        <translation>完了していない大分類があります</translation>
    </message>
    <message>
        <source>Maximum Lclass Completion date:</source>
        <translation>大分類の最も遅い完了日:</translation>
    </message>
</context>
<context>
    <name>CheckTimer</name>
    <message>
        <source>New Model</source>
        <translation>新規モデル</translation>
    </message>
    <message>
        <source>this is Redmine URL</source>
        <translation>RedmineのURLです</translation>
    </message>
    <message>
        <source>Auth is correct</source>
        <translation>認証に成功しました</translation>
    </message>
    <message>
        <source>Auth login information is incorrect</source>
        <translation>認証のログイン情報が正しくありません</translation>
    </message>
    <message>
        <source>Open Model</source>
        <translation>モデルを開く</translation>
    </message>
    <message>
        <source>model name is invalid</source>
        <translation>モデル名が正しくありません</translation>
    </message>
</context>
<context>
    <name>DefVar</name>
    <message>
        <source>4.0.1</source>
        <translation>4.0.1</translation>
    </message>
    <message>
        <source>--Arbitary--</source>
        <translation>--任意--</translation>
    </message>
    <message>
        <source>--Editable--</source>
        <translation>--編集可--</translation>
    </message>
    <message>
        <source>--Temporary--</source>
        <translation>--一時--</translation>
    </message>
    <message>
        <source>--None--</source>
        <translation>--なし--</translation>
    </message>
    <message>
        <source>--Global--</source>
        <translation>--グローバル--</translation>
    </message>
    <message>
        <source>--Local--</source>
        <translation>--ローカル--</translation>
    </message>
    <message>
        <source>--Yes--</source>
        <translation>--はい--</translation>
    </message>
    <message>
        <source>--No--</source>
        <translation>--いいえ--</translation>
    </message>
    <message>
        <source>--Setting Disable--</source>
        <translation>--設定無効--</translation>
    </message>
    <message>
        <source>Management</source>
        <translation>管理</translation>
    </message>
    <message>
        <source>Model</source>
        <translation>モデル</translation>
    </message>
    <message>
        <source>Instance</source>
        <translation>インスタンス</translation>
    </message>
    <message>
        <source>Output</source>
        <translation>出力</translation>
    </message>
    <message>
        <source>State</source>
        <translation>状態</translation>
    </message>
    <message>
        <source>Schedule</source>
        <translation>スケジュール</translation>
    </message>
    <message>
        <source>QandA</source>
        <translation>質疑応答</translation>
    </message>
    <message>
        <source>Tree</source>
        <translation>ツリー</translation>
    </message>
    <message>
        <source>Document</source>
        <translation>ドキュメント</translation>
    </message>
    <message>
        <source>Manual</source>
        <translation>マニュアル</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>名前</translation>
    </message>
    <message>
        <source>Location</source>
        <translation>場所</translation>
    </message>
    <message>
        <source>Ref</source>
        <translation>参照</translation>
    </message>
    <message>
        <source>RootManager</source>
        <translation>RootManager</translation>
    </message>
    <message>
        <source>PROJECT</source>
        <translation>PROJECT</translation>
    </message>
    <message>
        <source>ModelDef</source>
        <translation>ModelDef</translation>
    </message>
    <message>
        <source>OutputDef</source>
        <translation>OutputDef</translation>
    </message>
    <message>
        <source>Owner</source>
        <translation>Owner</translation>
    </message>
    <message>
        <source>Email</source>
        <translation>Email</translation>
    </message>
    <message>
        <source>SUMMARY</source>
        <translation>SUMMARY</translation>
    </message>
    <message>
        <source>SrcLocation</source>
        <translation>SrcLocation</translation>
    </message>
    <message>
        <source>InstanceLocation</source>
        <translation>InstanceLocation</translation>
    </message>
    <message>
        <source>RD</source>
        <translation>RD</translation>
    </message>
    <message>
        <source>UM</source>
        <translation>UM</translation>
    </message>
    <message>
        <source>DM</source>
        <translation>DM</translation>
    </message>
    <message>
        <source>HISTORY</source>
        <translation>HISTORY</translation>
    </message>
    <message>
        <source>DEVELOPMENT_VERSION</source>
        <translation>DEVELOPMENT_VERSION</translation>
    </message>
    <message>
        <source>VERSION</source>
        <translation>VERSION</translation>
    </message>
    <message>
        <source>Scope</source>
        <translation>スコープ</translation>
    </message>
    <message>
        <source>GLOBAL</source>
        <translation>グローバル</translation>
    </message>
    <message>
        <source>LOCAL</source>
        <translation>ローカル</translation>
    </message>
    <message>
        <source>NONE</source>
        <translation>なし</translation>
    </message>
    <message>
        <source>OutVariable</source>
        <translation>出力変数</translation>
    </message>
    <message>
        <source>Max Param</source>
        <translation>最大パラメータ数</translation>
    </message>
    <message>
        <source>Model Definition</source>
        <translation>モデル定義</translation>
    </message>
    <message>
        <source>Instance Definition</source>
        <translation>インスタンス定義</translation>
    </message>
    <message>
        <source>Reference</source>
        <translation>参照</translation>
    </message>
    <message>
        <source>Model RefName</source>
        <translation>モデル参照名</translation>
    </message>
    <message>
        <source>Instance RefName</source>
        <translation>インスタンス参照名</translation>
    </message>
    <message>
        <source>Ref Scope</source>
        <translation>参照スコープ</translation>
    </message>
    <message>
        <source>Ref Row</source>
        <translation>参照行</translation>
    </message>
    <message>
        <source>Ref Col</source>
        <translation>参照列</translation>
    </message>
    <message>
        <source>Model State</source>
        <translation>モデル状態</translation>
    </message>
    <message>
        <source>Inst State</source>
        <translation>インスタンス状態</translation>
    </message>
    <message>
        <source>State Scope</source>
        <translation>状態スコープ</translation>
    </message>
    <message>
        <source>Transition</source>
        <translation>遷移</translation>
    </message>
    <message>
        <source>From State</source>
        <translation>遷移元状態</translation>
    </message>
    <message>
        <source>To State</source>
        <translation>遷移先状態</translation>
    </message>
    <message>
        <source>State Xpos</source>
        <translation>状態X座標</translation>
    </message>
    <message>
        <source>State Ypos</source>
        <translation>状態Y座標</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>はい</translation>
    </message>
    <message>
        <source>No</source>
        <translation>いいえ</translation>
    </message>
    <message>
        <source>Row</source>
        <translation>行</translation>
    </message>
    <message>
        <source>Col</source>
        <translation>列</translation>
    </message>
    <message>
        <source>Progress Rate(%)</source>
        <translation>進捗率(%)</translation>
    </message>
    <message>
        <source>estimated hours</source>
        <translation>見積時間</translation>
    </message>
    <message>
        <source>Unset</source>
        <translation>未設定</translation>
    </message>
</context>
<context>
    <name>EditFont</name>
    <message>
        <source>Font Family</source>
        <translation>フォントファミリー</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>CANCEL</source>
        <translation>キャンセル</translation>
    </message>
</context>
<context>
    <name>ErrorMsg</name>
    <message>
        <source>Dialog</source>
        <translation>ダイアログ</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>コピー</translation>
    </message>
    <message>
        <source>select all</source>
        <translation>すべて選択</translation>
    </message>
    <message numerus="yes">
        <source>... and %n more report(s)</source>
        <translation>
            <numerusform>... ほか %n 件の報告</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>InfOwner</name>
    <message>
        <source>OWNERINF</source>
        <translation>所有者情報</translation>
    </message>
    <message>
        <source>Owner Name</source>
        <translation>所有者名</translation>
    </message>
    <message>
        <source>E-mail</source>
        <translation>メールアドレス</translation>
    </message>
    <message>
        <source>Transfer</source>
        <translation>移管</translation>
    </message>
    <message>
        <source>CLOSE</source>
        <translation>閉じる</translation>
    </message>
    <message>
        <source>Model Owner Info</source>
        <translation>モデル所有者情報</translation>
    </message>
    <message>
        <source>Output Owner Info</source>
        <translation>出力所有者情報</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Pelmorine</source>
        <translation>Pelmorine</translation>
    </message>
    <message>
        <source>File(&amp;F)</source>
        <translation>ファイル(&amp;F)</translation>
    </message>
    <message>
        <source>Edit(&amp;E)</source>
        <translation>編集(&amp;E)</translation>
    </message>
    <message>
        <source>Manager(&amp;N)</source>
        <translation>マネージャー(&amp;N)</translation>
    </message>
    <message>
        <source>Instance(&amp;I)</source>
        <translation>インスタンス(&amp;I)</translation>
    </message>
    <message>
        <source>Model(&amp;M)</source>
        <translation>モデル(&amp;M)</translation>
    </message>
    <message>
        <source>Out(&amp;O)</source>
        <translation>出力(&amp;O)</translation>
    </message>
    <message>
        <source>Q and A(&amp;Q)</source>
        <translation>質疑応答(&amp;Q)</translation>
    </message>
    <message>
        <source>Document(&amp;D)</source>
        <translation>ドキュメント(&amp;D)</translation>
    </message>
    <message>
        <source>Tool(&amp;T)</source>
        <translation>ツール(&amp;T)</translation>
    </message>
    <message>
        <source>Help(&amp;H)</source>
        <translation>ヘルプ(&amp;H)</translation>
    </message>
    <message>
        <source>new Instance</source>
        <translation>インスタンスの新規作成</translation>
    </message>
    <message>
        <source>Ctrl+N</source>
        <translation>Ctrl+N</translation>
    </message>
    <message>
        <source>open Instance</source>
        <translation>インスタンスを開く</translation>
    </message>
    <message>
        <source>Ctrl+O</source>
        <translation>Ctrl+O</translation>
    </message>
    <message>
        <source>new DefModel</source>
        <translation>モデル定義の新規作成</translation>
    </message>
    <message>
        <source>open DefModel</source>
        <translation>モデル定義を開く</translation>
    </message>
    <message>
        <source>new DefOut</source>
        <translation>出力定義の新規作成</translation>
    </message>
    <message>
        <source>open DefOut</source>
        <translation>出力定義を開く</translation>
    </message>
    <message>
        <source>save</source>
        <translation>保存</translation>
    </message>
    <message>
        <source>Ctrl+S</source>
        <translation>Ctrl+S</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>閉じる</translation>
    </message>
    <message>
        <source>Ctrl+W</source>
        <translation>Ctrl+W</translation>
    </message>
    <message>
        <source>End</source>
        <translation>終了</translation>
    </message>
    <message>
        <source>Ctrl+Q</source>
        <translation>Ctrl+Q</translation>
    </message>
    <message>
        <source>undo</source>
        <translation>元に戻す</translation>
    </message>
    <message>
        <source>Ctrl+Y</source>
        <translation>Ctrl+Y</translation>
    </message>
    <message>
        <source>redo</source>
        <translation>やり直し</translation>
    </message>
    <message>
        <source>copy</source>
        <translation>コピー</translation>
    </message>
    <message>
        <source>Ctrl+C</source>
        <translation>Ctrl+C</translation>
    </message>
    <message>
        <source>cut</source>
        <translation>切り取り</translation>
    </message>
    <message>
        <source>Ctrl+T</source>
        <translation>Ctrl+T</translation>
    </message>
    <message>
        <source>paste</source>
        <translation>貼り付け</translation>
    </message>
    <message>
        <source>Ctrl+P</source>
        <translation>Ctrl+P</translation>
    </message>
    <message>
        <source>Select ALL</source>
        <translation>すべて選択</translation>
    </message>
    <message>
        <source>Number</source>
        <translation>行番号</translation>
    </message>
    <message>
        <source>Add User</source>
        <translation>ユーザーの追加</translation>
    </message>
    <message>
        <source>Del User</source>
        <translation>ユーザーの削除</translation>
    </message>
    <message>
        <source>Transfer</source>
        <translation>ユーザーの移管</translation>
    </message>
    <message>
        <source>Redmine</source>
        <translation>Redmine</translation>
    </message>
    <message>
        <source>Add LClass</source>
        <translation>大分類の追加</translation>
    </message>
    <message>
        <source>Add SClass</source>
        <translation>小分類の追加</translation>
    </message>
    <message>
        <source>Del LClass</source>
        <translation>大分類の削除</translation>
    </message>
    <message>
        <source>Del SClass</source>
        <translation>小分類の削除</translation>
    </message>
    <message>
        <source>Add Param</source>
        <translation>パラメータの追加</translation>
    </message>
    <message>
        <source>Del Param</source>
        <translation>パラメータの削除</translation>
    </message>
    <message>
        <source>Mod Param Name</source>
        <translation>パラメータ名の変更</translation>
    </message>
    <message>
        <source>OwnerInfo</source>
        <translation>オーナー情報</translation>
    </message>
    <message>
        <source>Create File Identifer</source>
        <translation>ファイル識別子の作成</translation>
    </message>
    <message>
        <source>Delete File Identifier</source>
        <translation>ファイル識別子の削除</translation>
    </message>
    <message>
        <source>Create Next Seq Identifier</source>
        <translation>後続シーケンス識別子の作成</translation>
    </message>
    <message>
        <source>Create Nest Seq Identifier</source>
        <translation>入れ子シーケンス識別子の作成</translation>
    </message>
    <message>
        <source>Delete Seq Identifier</source>
        <translation>シーケンス識別子の削除</translation>
    </message>
    <message>
        <source>MoveUpSeq Identifier</source>
        <translation>シーケンス識別子を上へ移動</translation>
    </message>
    <message>
        <source>MoveDownSeq</source>
        <translation>シーケンス識別子を下へ移動</translation>
    </message>
    <message>
        <source>FileToTemp</source>
        <translation>ファイルから一時領域へ移動</translation>
    </message>
    <message>
        <source>TempToFile</source>
        <translation>一時領域からファイルへ移動</translation>
    </message>
    <message>
        <source>Outut Check</source>
        <translation>出力チェック</translation>
    </message>
    <message>
        <source>Output File</source>
        <translation>ファイル出力</translation>
    </message>
    <message>
        <source>Create Question</source>
        <translation>質問の作成</translation>
    </message>
    <message>
        <source>Delete Question</source>
        <translation>質問の削除</translation>
    </message>
    <message>
        <source>Create Answer</source>
        <translation>回答の作成</translation>
    </message>
    <message>
        <source>Delete Answer</source>
        <translation>回答の削除</translation>
    </message>
    <message>
        <source>Add Chapter</source>
        <translation>章の追加</translation>
    </message>
    <message>
        <source>Del Chapter</source>
        <translation>章の削除</translation>
    </message>
    <message>
        <source>Set Chapter</source>
        <translation>章に設定</translation>
    </message>
    <message>
        <source>Unset Chapter</source>
        <translation>章の設定解除</translation>
    </message>
    <message>
        <source>Move Up</source>
        <translation>上へ移動</translation>
    </message>
    <message>
        <source>Move Down</source>
        <translation>下へ移動</translation>
    </message>
    <message>
        <source>Option(&amp;O)</source>
        <translation>オプション(&amp;O)</translation>
    </message>
    <message>
        <source>Mail</source>
        <translation>メール</translation>
    </message>
    <message>
        <source>about marsoly(&amp;Q)</source>
        <translation>marsolyについて(&amp;Q)</translation>
    </message>
    <message>
        <source>Save Model</source>
        <translation>モデルの保存</translation>
    </message>
    <message>
        <source>save model, and open instance</source>
        <translation>モデルを保存して、インスタンスを開きます</translation>
    </message>
    <message>
        <source>Layout</source>
        <translation>レイアウト</translation>
    </message>
    <message>
        <source>Redmine interface</source>
        <translation>Redmine連携</translation>
    </message>
    <message>
        <source>modify other user</source>
        <translation>他ユーザーの変更あり</translation>
    </message>
    <message>
        <source>chat</source>
        <translation>チャット</translation>
    </message>
    <message>
        <source>under saving</source>
        <translation>保存中...</translation>
    </message>
    <message>
        <source>save failed, retry</source>
        <translation>保存に失敗しました。もう一度保存してください</translation>
    </message>
    <message>
        <source>save end</source>
        <translation>保存しました</translation>
    </message>
    <message>
        <source>Save Contents</source>
        <translation>内容の保存</translation>
    </message>
    <message>
        <source>Do you want to save Contens?</source>
        <translation>内容を保存しますか？</translation>
    </message>
    <message>
        <source>Don&apos;t save</source>
        <translation>保存しない</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>キャンセル</translation>
    </message>
    <message>
        <source>Do you want to Close?</source>
        <translation>閉じますか？</translation>
    </message>
    <message>
        <source>close</source>
        <translation>閉じる</translation>
    </message>
    <message>
        <source>cancel</source>
        <translation>キャンセル</translation>
    </message>
    <message>
        <source>System Error</source>
        <translation>システムエラー</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>File error</source>
        <translation>ファイルエラー</translation>
    </message>
    <message>
        <source>can not write file:%1</source>
        <translation>ファイルに書き込めません:%1</translation>
    </message>
    <message>
        <source>Remove file</source>
        <translation>ファイルの削除</translation>
    </message>
    <message>
        <source>Delete file:</source>
        <translation>次のファイルを削除します:</translation>
    </message>
    <message>
        <source>File overwrite</source>
        <translation>ファイルの上書き</translation>
    </message>
    <message>
        <source>Do you want to overwrite?</source>
        <translation>上書きしますか？</translation>
    </message>
    <message>
        <source>under process---</source>
        <translation>処理中---</translation>
    </message>
    <message>
        <source>not saved: the program is busy, save again</source>
        <translation>保存されていません: 処理中です。もう一度保存してください</translation>
    </message>
    <message>
        <source>save waits until the current work ends</source>
        <translation>実行中の処理が終わると保存します</translation>
    </message>
    <message>
        <source>not saved: changed by another program, your edit is kept</source>
        <translation>保存されていません: 他のプログラムが変更しました。編集内容は残っています</translation>
    </message>
    <message>
        <source>Another program changed this file since it was read:</source>
        <translation>読み込んだ後に、他のプログラムがこのファイルを変更しました:</translation>
    </message>
    <message>
        <source>Another program changed these files since they were read:</source>
        <translation>読み込んだ後に、他のプログラムがこれらのファイルを変更しました:</translation>
    </message>
    <message>
        <source>Changed by another program</source>
        <translation>他のプログラムによる変更</translation>
    </message>
    <message>
        <source>Save anyway: your version is written and the other program&apos;s change is replaced.
Keep editing: none of these files is written; your edit stays open, unsaved, and Save stays on.</source>
        <translation>このまま保存: あなたの内容を書き込み、他のプログラムの変更は置き換えられます。
編集を続ける: これらのファイルはどれも書き込みません。編集内容は保存されないまま残り、保存は有効のままです。</translation>
    </message>
    <message>
        <source>Save anyway</source>
        <translation>このまま保存</translation>
    </message>
    <message>
        <source>Keep editing</source>
        <translation>編集を続ける</translation>
    </message>
</context>
<context>
    <name>Manual</name>
    <message>
        <source>Form</source>
        <translation>フォーム</translation>
    </message>
    <message>
        <source>No</source>
        <translation>番号</translation>
    </message>
    <message>
        <source>Title</source>
        <translation>タイトル</translation>
    </message>
    <message>
        <source>Manual</source>
        <translation>マニュアル</translation>
    </message>
    <message>
        <source>The manual&apos;s index cannot be found: %1</source>
        <translation>マニュアルの目次が見つかりません: %1</translation>
    </message>
</context>
<context>
    <name>MngUser</name>
    <message>
        <source>Form</source>
        <translation>フォーム</translation>
    </message>
    <message>
        <source>Instance Name</source>
        <translation>インスタンス名</translation>
    </message>
    <message>
        <source>background-color: #666666;color: #FFFFFF</source>
        <translation>background-color: #666666;color: #FFFFFF</translation>
    </message>
    <message>
        <source>Version</source>
        <translation>バージョン</translation>
    </message>
    <message>
        <source>Model Name</source>
        <translation>モデル名</translation>
    </message>
    <message>
        <source>To Instance</source>
        <translation>インスタンスへ</translation>
    </message>
    <message>
        <source>background-color: qlineargradient(spread:pad, x1:1, y1:0.432, x2:1, y2:0, stop:0 rgb(227, 244, 252), stop:1 rgb(169, 219, 246));
color: rgb(0,0,0); border-width: 2px; border-color: rgb(156 202 227)</source>
        <translation>background-color: qlineargradient(spread:pad, x1:1, y1:0.432, x2:1, y2:0, stop:0 rgb(227, 244, 252), stop:1 rgb(169, 219, 246));
color: rgb(0,0,0); border-width: 2px; border-color: rgb(156 202 227)</translation>
    </message>
    <message>
        <source>Tab 2</source>
        <translation>タブ 2</translation>
    </message>
    <message>
        <source>Owner</source>
        <translation>オーナー</translation>
    </message>
</context>
<context>
    <name>NewDefModel</name>
    <message>
        <source>Create Model</source>
        <translation>モデルの作成</translation>
    </message>
    <message>
        <source>New Model</source>
        <translation>新規モデル</translation>
    </message>
    <message>
        <source>SVersion</source>
        <translation>バージョン</translation>
    </message>
    <message>
        <source>Major</source>
        <translation>メジャー</translation>
    </message>
    <message>
        <source>minor</source>
        <translation>マイナー</translation>
    </message>
    <message>
        <source>revision</source>
        <translation>リビジョン</translation>
    </message>
    <message>
        <source>Workspace</source>
        <translation>ワークスペース</translation>
    </message>
    <message>
        <source>New</source>
        <translation>新規</translation>
    </message>
    <message>
        <source>Ref</source>
        <translation>参照</translation>
    </message>
    <message>
        <source>Model name</source>
        <translation>モデル名</translation>
    </message>
    <message>
        <source>Version</source>
        <translation>バージョン</translation>
    </message>
    <message>
        <source>Create</source>
        <translation>作成</translation>
    </message>
    <message>
        <source>Copy Version</source>
        <translation>バージョンをコピー</translation>
    </message>
    <message>
        <source>CANCEL</source>
        <translation>キャンセル</translation>
    </message>
    <message>
        <source>Directory:</source>
        <translation>ディレクトリ:</translation>
    </message>
    <message>
        <source>not found</source>
        <translation>が見つかりません</translation>
    </message>
    <message>
        <source>Do you want to create Model?</source>
        <translation>モデルを作成しますか？</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>キャンセル</translation>
    </message>
    <message>
        <source>pelmorine.def is not found</source>
        <translation>pelmorine.def が見つかりません</translation>
    </message>
    <message>
        <source>set def model name</source>
        <translation>モデル定義名を入力してください</translation>
    </message>
    <message>
        <source>model name is invalid</source>
        <translation>モデル名が正しくありません</translation>
    </message>
    <message>
        <source>tolvek workspace is not set</source>
        <translation>tolvekワークスペースが設定されていません</translation>
    </message>
    <message>
        <source>tolvek workspace directory not found:</source>
        <translation>tolvekワークスペースのディレクトリが見つかりません:</translation>
    </message>
    <message>
        <source>version of this model is already exist</source>
        <translation>このモデルのバージョンは既に存在します</translation>
    </message>
</context>
<context>
    <name>NewInstanceDiag</name>
    <message>
        <source>New Instance</source>
        <translation>新規インスタンス</translation>
    </message>
    <message>
        <source>Instance Name</source>
        <translation>インスタンス名</translation>
    </message>
    <message>
        <source>background-color: #666666;color: #FFFFFF</source>
        <translation>background-color: #666666;color: #FFFFFF</translation>
    </message>
    <message>
        <source>Version</source>
        <translation>バージョン</translation>
    </message>
    <message>
        <source>Major</source>
        <translation>メジャー</translation>
    </message>
    <message>
        <source>minor</source>
        <translation>マイナー</translation>
    </message>
    <message>
        <source>revision</source>
        <translation>リビジョン</translation>
    </message>
    <message>
        <source>workspace</source>
        <translation>ワークスペース</translation>
    </message>
    <message>
        <source>Reference</source>
        <translation>参照</translation>
    </message>
    <message>
        <source>Model name</source>
        <translation>モデル名</translation>
    </message>
    <message>
        <source>msg</source>
        <translation>メッセージ</translation>
    </message>
    <message>
        <source>Create</source>
        <translation>作成</translation>
    </message>
    <message>
        <source>Copy Version</source>
        <translation>バージョンをコピー</translation>
    </message>
    <message>
        <source>CANCEL</source>
        <translation>キャンセル</translation>
    </message>
    <message>
        <source>Model has not been created</source>
        <translation>モデルが作成されていません</translation>
    </message>
    <message>
        <source>workspace is empty.</source>
        <translation>ワークスペースが設定されていません。</translation>
    </message>
    <message>
        <source>model list is empty.</source>
        <translation>モデル一覧が空です。</translation>
    </message>
    <message>
        <source>instance name is not set.</source>
        <translation>インスタンス名が設定されていません。</translation>
    </message>
    <message>
        <source>instance name is invalid</source>
        <translation>インスタンス名が正しくありません</translation>
    </message>
    <message>
        <source>version of instance name is already exist.</source>
        <translation>このインスタンスのバージョンは既に存在します。</translation>
    </message>
    <message>
        <source>It was not possible to make a instance name directory .</source>
        <translation>インスタンス名のフォルダーを作成できませんでした。</translation>
    </message>
    <message>
        <source>It was not possible to make a version directory instance name.</source>
        <translation>インスタンスのバージョンフォルダーを作成できませんでした。</translation>
    </message>
    <message>
        <source>It was not possible to make a reference directory instance name version.</source>
        <translation>インスタンスのリファレンスフォルダーを作成できませんでした。</translation>
    </message>
</context>
<context>
    <name>NewOut</name>
    <message>
        <source>New Out Definition</source>
        <translation>新規出力定義</translation>
    </message>
    <message>
        <source>Output Name</source>
        <translation>出力名</translation>
    </message>
    <message>
        <source>Version</source>
        <translation>バージョン</translation>
    </message>
    <message>
        <source>Major</source>
        <translation>メジャー</translation>
    </message>
    <message>
        <source>minor</source>
        <translation>マイナー</translation>
    </message>
    <message>
        <source>revision</source>
        <translation>リビジョン</translation>
    </message>
    <message>
        <source>workspace</source>
        <translation>ワークスペース</translation>
    </message>
    <message>
        <source>Ref</source>
        <translation>参照</translation>
    </message>
    <message>
        <source>Model name</source>
        <translation>モデル名</translation>
    </message>
    <message>
        <source>CREATE</source>
        <translation>作成</translation>
    </message>
    <message>
        <source>COPY VERSION</source>
        <translation>バージョンをコピー</translation>
    </message>
    <message>
        <source>CANCEL</source>
        <translation>キャンセル</translation>
    </message>
    <message>
        <source>workspace is empty.</source>
        <translation>ワークスペースが設定されていません。</translation>
    </message>
    <message>
        <source>model list is empty.</source>
        <translation>モデル一覧が空です。</translation>
    </message>
    <message>
        <source>output name is not set.</source>
        <translation>出力名が設定されていません。</translation>
    </message>
    <message>
        <source>output name is invalid</source>
        <translation>出力名が正しくありません</translation>
    </message>
    <message>
        <source>model is not selected</source>
        <translation>モデルが選択されていません</translation>
    </message>
    <message>
        <source>version of out name is already exist.</source>
        <translation>この出力名のバージョンは既に存在します。</translation>
    </message>
    <message>
        <source>It was not possible to make a output name directory .</source>
        <translation>出力名のディレクトリを作成できませんでした。</translation>
    </message>
    <message>
        <source>It was not possible to make a version directory output name.</source>
        <translation>出力名のバージョンディレクトリを作成できませんでした。</translation>
    </message>
</context>
<context>
    <name>NewWorkspace</name>
    <message>
        <source>New Workspace</source>
        <translation>新規ワークスペース</translation>
    </message>
    <message>
        <source>workspace name</source>
        <translation>ワークスペース名</translation>
    </message>
    <message>
        <source>directory</source>
        <translation>ディレクトリ</translation>
    </message>
    <message>
        <source>Ref</source>
        <translation>参照</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>CANCEL</source>
        <translation>キャンセル</translation>
    </message>
    <message>
        <source>workspace Directory</source>
        <translation>ワークスペースのディレクトリ</translation>
    </message>
    <message>
        <source>workspace name is not set</source>
        <translation>ワークスペース名が設定されていません</translation>
    </message>
    <message>
        <source>Directory is not set</source>
        <translation>ディレクトリが設定されていません</translation>
    </message>
    <message>
        <source>workspace name is invalid</source>
        <translation>ワークスペース名が正しくありません</translation>
    </message>
    <message>
        <source>Directory is not found</source>
        <translation>ディレクトリが見つかりません</translation>
    </message>
    <message>
        <source>Directory is already exist. Dir:</source>
        <translation>ディレクトリは既に存在します。ディレクトリ:</translation>
    </message>
    <message>
        <source>File Error</source>
        <translation>ファイルエラー</translation>
    </message>
</context>
<context>
    <name>NumEditor</name>
    <message>
        <source>Undo</source>
        <translation>元に戻す</translation>
    </message>
    <message>
        <source>Redo</source>
        <translation>やり直し</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>コピー</translation>
    </message>
    <message>
        <source>Cut</source>
        <translation>切り取り</translation>
    </message>
    <message>
        <source>Paste</source>
        <translation>貼り付け</translation>
    </message>
    <message>
        <source>select all</source>
        <translation>すべて選択</translation>
    </message>
    <message>
        <source>Number</source>
        <translation>行番号</translation>
    </message>
</context>
<context>
    <name>NwRedmine</name>
    <message>
        <source>received data is not xml format</source>
        <translation>受信データが XML 形式ではありません</translation>
    </message>
    <message>
        <source>1.not connect 2.not URL(check Toole Option) error(</source>
        <translation>1.接続できません 2.URL が違います(ツールのオプションを確認してください) エラー(</translation>
    </message>
    <message>
        <source>maybe project is deleted</source>
        <translation>プロジェクトが削除された可能性があります</translation>
    </message>
    <message>
        <source>check Api error(</source>
        <translation>API キーを確認してください エラー(</translation>
    </message>
    <message>
        <source>check basic author  error(</source>
        <translation>Basic 認証を確認してください エラー(</translation>
    </message>
    <message>
        <source>1.not connect 2.not URL(check Toole Option) 3.check Api error(</source>
        <translation>1.接続できません 2.URL が違います(ツールのオプションを確認してください) 3.API キーを確認してください エラー(</translation>
    </message>
    <message>
        <source>1.not connect 2.not URL(check Toole Option) 3.check basic author error(</source>
        <translation>1.接続できません 2.URL が違います(ツールのオプションを確認してください) 3.Basic 認証を確認してください エラー(</translation>
    </message>
    <message>
        <source>the tracker lists more than %1 items: the list stops there</source>
        <translation>トラッカーの一覧が %1 件を超えています: 一覧はそこで打ち切ります</translation>
    </message>
    <message>
        <source>the tracker&apos;s answer is larger than %1 MB: it was left unread</source>
        <translation>トラッカーの応答が %1 MB を超えています: 読み込みませんでした</translation>
    </message>
    <message>
        <source>the tracker&apos;s answer holds more than %1 elements, attributes and texts: it was left unread</source>
        <translation>トラッカーの応答の要素・属性・テキストが %1 個を超えています: 読み込みませんでした</translation>
    </message>
</context>
<context>
    <name>OpenDefModel</name>
    <message>
        <source>Open Model</source>
        <translation>モデルを開く</translation>
    </message>
    <message>
        <source>Workspace</source>
        <translation>ワークスペース</translation>
    </message>
    <message>
        <source>Ref</source>
        <translation>参照</translation>
    </message>
    <message>
        <source>Model name</source>
        <translation>モデル名</translation>
    </message>
    <message>
        <source>Version</source>
        <translation>バージョン</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>CANCEL</source>
        <translation>キャンセル</translation>
    </message>
    <message>
        <source>Directory:</source>
        <translation>ディレクトリ:</translation>
    </message>
    <message>
        <source>not found</source>
        <translation>が見つかりません</translation>
    </message>
    <message>
        <source>workspace is not set</source>
        <translation>ワークスペースが設定されていません</translation>
    </message>
    <message>
        <source>model name is not found</source>
        <translation>モデル名が見つかりません</translation>
    </message>
    <message>
        <source>model name is not selected</source>
        <translation>モデル名が選択されていません</translation>
    </message>
    <message>
        <source>system error:MODEL001</source>
        <translation>システムエラー:MODEL001</translation>
    </message>
</context>
<context>
    <name>OpenInstanceDiag</name>
    <message>
        <source>Open Instance</source>
        <translation>インスタンスを開く</translation>
    </message>
    <message>
        <source>Instance Name</source>
        <translation>インスタンス名</translation>
    </message>
    <message>
        <source>background-color: #666666;color: #FFFFFF</source>
        <translation>background-color: #666666;color: #FFFFFF</translation>
    </message>
    <message>
        <source>Version</source>
        <translation>バージョン</translation>
    </message>
    <message>
        <source>Workspace</source>
        <translation>ワークスペース</translation>
    </message>
    <message>
        <source>Ref</source>
        <translation>参照</translation>
    </message>
    <message>
        <source>Model Name</source>
        <translation>モデル名</translation>
    </message>
    <message>
        <source>Msg</source>
        <translation>メッセージ</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>CANCEL</source>
        <translation>キャンセル</translation>
    </message>
    <message>
        <source>model is empty</source>
        <translation>モデルがありません</translation>
    </message>
    <message>
        <source>model is not selected</source>
        <translation>モデルが選択されていません</translation>
    </message>
    <message>
        <source>instance is empty</source>
        <translation>インスタンスがありません</translation>
    </message>
    <message>
        <source>instance is not selected</source>
        <translation>インスタンスが選択されていません</translation>
    </message>
    <message>
        <source>instance name is not selected</source>
        <translation>インスタンス名が選択されていません</translation>
    </message>
</context>
<context>
    <name>OpenOut</name>
    <message>
        <source>Open Out Definition</source>
        <translation>出力定義を開く</translation>
    </message>
    <message>
        <source>Output Name</source>
        <translation>出力名</translation>
    </message>
    <message>
        <source>Version</source>
        <translation>バージョン</translation>
    </message>
    <message>
        <source>Workspace</source>
        <translation>ワークスペース</translation>
    </message>
    <message>
        <source>Ref</source>
        <translation>参照</translation>
    </message>
    <message>
        <source>Model Name</source>
        <translation>モデル名</translation>
    </message>
    <message>
        <source>Msg</source>
        <translation>メッセージ</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>CANCEL</source>
        <translation>キャンセル</translation>
    </message>
    <message>
        <source>model is empty</source>
        <translation>モデルがありません</translation>
    </message>
    <message>
        <source>model is not selected</source>
        <translation>モデルが選択されていません</translation>
    </message>
    <message>
        <source>output is empty</source>
        <translation>出力がありません</translation>
    </message>
    <message>
        <source>output is not selected</source>
        <translation>出力が選択されていません</translation>
    </message>
    <message>
        <source>output name is not selected</source>
        <translation>出力名が選択されていません</translation>
    </message>
</context>
<context>
    <name>OptFont</name>
    <message>
        <source>Font</source>
        <translation>フォント</translation>
    </message>
    <message>
        <source>Font name</source>
        <translation>フォント名</translation>
    </message>
    <message>
        <source>Change</source>
        <translation>変更</translation>
    </message>
    <message>
        <source>Font size</source>
        <translation>フォントサイズ</translation>
    </message>
    <message>
        <source>AutoSave</source>
        <translation>自動保存</translation>
    </message>
    <message>
        <source>Save Time</source>
        <translation>保存間隔</translation>
    </message>
    <message>
        <source>Mail</source>
        <translation>メール</translation>
    </message>
    <message>
        <source>SMTP Server</source>
        <translation>SMTPサーバー</translation>
    </message>
    <message>
        <source>Port</source>
        <translation>ポート</translation>
    </message>
    <message>
        <source>(default:587)</source>
        <translation>(default:587)</translation>
    </message>
    <message>
        <source>Security</source>
        <translation>セキュリティ</translation>
    </message>
    <message>
        <source>none</source>
        <translation>なし</translation>
    </message>
    <message>
        <source>authentication</source>
        <translation>認証</translation>
    </message>
    <message>
        <source>Auto</source>
        <translation>自動</translation>
    </message>
    <message>
        <source>address</source>
        <translation>アドレス</translation>
    </message>
    <message>
        <source>pwd</source>
        <translation>パスワード</translation>
    </message>
    <message>
        <source>Test</source>
        <translation>テスト</translation>
    </message>
    <message>
        <source>send mail</source>
        <translation>メールを送信する</translation>
    </message>
    <message>
        <source>SEND MAIL(question and answer)</source>
        <translation>メール送信(質疑応答)</translation>
    </message>
    <message>
        <source>connect</source>
        <translation>接続確認済み</translation>
    </message>
    <message>
        <source>one minitues</source>
        <translation>1分</translation>
    </message>
    <message>
        <source>three minitues</source>
        <translation>3分</translation>
    </message>
    <message>
        <source>five minitues</source>
        <translation>5分</translation>
    </message>
    <message>
        <source>ten minitues</source>
        <translation>10分</translation>
    </message>
    <message>
        <source>unknown</source>
        <translation>未確認</translation>
    </message>
</context>
<context>
    <name>OptProject</name>
    <message>
        <source>Project Management</source>
        <translation>プロジェクト管理</translation>
    </message>
    <message>
        <source>No Project</source>
        <translation>プロジェクト管理なし</translation>
    </message>
    <message>
        <source>Redmine</source>
        <translation>Redmine</translation>
    </message>
    <message>
        <source>user info</source>
        <translation>ユーザー情報</translation>
    </message>
    <message>
        <source>Redmine URL</source>
        <translation>RedmineのURL</translation>
    </message>
    <message>
        <source>URL_Check</source>
        <translation>URLチェック</translation>
    </message>
    <message>
        <source>Admin privilege</source>
        <translation>管理者権限</translation>
    </message>
    <message>
        <source>User</source>
        <translation>ユーザー</translation>
    </message>
    <message>
        <source>ID</source>
        <translation>ID</translation>
    </message>
    <message>
        <source>LastName</source>
        <translation>姓</translation>
    </message>
    <message>
        <source>FirstName</source>
        <translation>名</translation>
    </message>
    <message>
        <source>Authentication</source>
        <translation>認証</translation>
    </message>
    <message>
        <source>Api Key</source>
        <translation>APIキー</translation>
    </message>
    <message>
        <source>Basic</source>
        <translation>Basic認証</translation>
    </message>
    <message>
        <source>API access key</source>
        <translation>APIアクセスキー</translation>
    </message>
    <message>
        <source>Basic Type</source>
        <translation>Basic認証</translation>
    </message>
    <message>
        <source>Basic Autentication</source>
        <translation>Basic認証</translation>
    </message>
    <message>
        <source>Explain Max Length(byte)</source>
        <translation>説明の最大長(バイト)</translation>
    </message>
    <message>
        <source>term info</source>
        <translation>用語情報</translation>
    </message>
    <message>
        <source>url is empty</source>
        <translation>URLが入力されていません</translation>
    </message>
    <message>
        <source>under test</source>
        <translation>テスト中...</translation>
    </message>
    <message>
        <source>api key is not set</source>
        <translation>APIキーが設定されていません</translation>
    </message>
    <message>
        <source>Login ID of Basic Auth is not set</source>
        <translation>Basic認証のログインIDが設定されていません</translation>
    </message>
    <message>
        <source>Password of Basic Auth is not set</source>
        <translation>Basic認証のパスワードが設定されていません</translation>
    </message>
    <message>
        <source>under user info</source>
        <translation>ユーザー情報を取得中...</translation>
    </message>
    <message>
        <source>Under Process</source>
        <translation>処理中</translation>
    </message>
</context>
<context>
    <name>OptionDiag</name>
    <message>
        <source>Option</source>
        <translation>オプション</translation>
    </message>
    <message>
        <source>Group</source>
        <translation>グループ</translation>
    </message>
    <message>
        <source>Owner</source>
        <translation>オーナー</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>名前</translation>
    </message>
    <message>
        <source>Email Address</source>
        <translation>メールアドレス</translation>
    </message>
    <message>
        <source>Redmine</source>
        <translation>Redmine</translation>
    </message>
    <message>
        <source>First Name</source>
        <translation>名</translation>
    </message>
    <message>
        <source>Last Name</source>
        <translation>姓</translation>
    </message>
    <message>
        <source>ID</source>
        <translation>ID</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>追加</translation>
    </message>
    <message>
        <source>Mod</source>
        <translation>変更</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>削除</translation>
    </message>
    <message>
        <source>Send Address</source>
        <translation>送信用アドレス</translation>
    </message>
    <message>
        <source>FirstName</source>
        <translation>名</translation>
    </message>
    <message>
        <source>LastName</source>
        <translation>姓</translation>
    </message>
    <message>
        <source>Redmine ID</source>
        <translation>RedmineのID</translation>
    </message>
    <message>
        <source>Reference</source>
        <translation>参照</translation>
    </message>
    <message>
        <source>extension</source>
        <translation>拡張子</translation>
    </message>
    <message>
        <source>exe filename</source>
        <translation>実行ファイル名</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>キャンセル</translation>
    </message>
    <message>
        <source>Font</source>
        <translation>フォント</translation>
    </message>
    <message>
        <source>project Manager</source>
        <translation>プロジェクト管理</translation>
    </message>
    <message>
        <source>redmine yes</source>
        <translation>Redmine利用あり</translation>
    </message>
    <message>
        <source>redmine no</source>
        <translation>Redmine利用なし</translation>
    </message>
    <message>
        <source>yes</source>
        <translation>はい</translation>
    </message>
    <message>
        <source>no</source>
        <translation>いいえ</translation>
    </message>
    <message>
        <source>delete group</source>
        <translation>グループの削除</translation>
    </message>
    <message>
        <source>Do you want to delete current user?</source>
        <translation>選択中のユーザーを削除しますか？</translation>
    </message>
    <message>
        <source>delete application</source>
        <translation>アプリケーションの削除</translation>
    </message>
    <message>
        <source>Do you want to delete current application?</source>
        <translation>選択中のアプリケーションを削除しますか？</translation>
    </message>
    <message>
        <source>%1 of more than %2 characters is refused: the member files would not open again with it (%3)</source>
        <translation>%2 文字を超える%1は受け付けません: メンバーのファイルが再び開けなくなります (%3)</translation>
    </message>
    <message>
        <source>A name</source>
        <translation>名前</translation>
    </message>
    <message>
        <source>An account</source>
        <translation>アカウント</translation>
    </message>
    <message>
        <source>A send address</source>
        <translation>送信用アドレス</translation>
    </message>
    <message>
        <source>A mail address</source>
        <translation>メールアドレス</translation>
    </message>
    <message>
        <source>Options</source>
        <translation>オプション</translation>
    </message>
</context>
<context>
    <name>ProcMailDiag</name>
    <message>
        <source>Dialog</source>
        <translation>ダイアログ</translation>
    </message>
    <message>
        <source>RcvEmail</source>
        <translation>受信メールアドレス</translation>
    </message>
    <message>
        <source>background-color: #666666;color: #FFFFFF</source>
        <translation>background-color: #666666;color: #FFFFFF</translation>
    </message>
    <message>
        <source>SET</source>
        <translation>設定</translation>
    </message>
    <message>
        <source>CANCEL</source>
        <translation>キャンセル</translation>
    </message>
    <message>
        <source>Receiving address</source>
        <translation>受信アドレス</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>Delete Group</source>
        <translation>グループの削除</translation>
    </message>
</context>
<context>
    <name>RedmineLogin</name>
    <message>
        <source>Basic Autentication</source>
        <translation>Basic認証</translation>
    </message>
    <message>
        <source>Login ID</source>
        <translation>ログインID</translation>
    </message>
    <message>
        <source>Password</source>
        <translation>パスワード</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>CANCEL</source>
        <translation>キャンセル</translation>
    </message>
    <message>
        <source>Login id is empty</source>
        <translation>ログインIDが入力されていません</translation>
    </message>
    <message>
        <source>password id is empty</source>
        <translation>パスワードが入力されていません</translation>
    </message>
    <message>
        <source>Under Process</source>
        <translation>処理中</translation>
    </message>
</context>
<context>
    <name>Tab</name>
    <message>
        <source>Form</source>
        <translation>フォーム</translation>
    </message>
    <message>
        <source>Management</source>
        <translation>管理</translation>
    </message>
    <message>
        <source>Instance</source>
        <translation>インスタンス</translation>
    </message>
    <message>
        <source>Model Document</source>
        <translation>モデルドキュメント</translation>
    </message>
    <message>
        <source>Instance Document</source>
        <translation>インスタンスドキュメント</translation>
    </message>
</context>
<context>
    <name>TitleDiag</name>
    <message>
        <source>Dialog</source>
        <translation>ダイアログ</translation>
    </message>
</context>
<context>
    <name>UserInf</name>
    <message>
        <source>User Name</source>
        <translation>ユーザー名</translation>
    </message>
    <message>
        <source>background-color: #666666;color: #FFFFFF</source>
        <translation>background-color: #666666;color: #FFFFFF</translation>
    </message>
    <message>
        <source>Email</source>
        <translation>メールアドレス</translation>
    </message>
    <message>
        <source>EMOD</source>
        <translation>変更</translation>
    </message>
    <message>
        <source>Start Date</source>
        <translation>開始日</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>日付</translation>
    </message>
    <message>
        <source>Target Date</source>
        <translation>目標日</translation>
    </message>
    <message>
        <source>Completion Date</source>
        <translation>完了日</translation>
    </message>
    <message>
        <source>Out Directory</source>
        <translation>出力ディレクトリ</translation>
    </message>
    <message>
        <source>Ref</source>
        <translation>参照</translation>
    </message>
    <message>
        <source>Explanation</source>
        <translation>説明</translation>
    </message>
    <message>
        <source>Tab 2</source>
        <translation>タブ 2</translation>
    </message>
    <message>
        <source>Output Directory</source>
        <translation>出力ディレクトリ</translation>
    </message>
</context>
<context>
    <name>UserTransfer</name>
    <message>
        <source>TRANSFER</source>
        <translation>移管</translation>
    </message>
    <message>
        <source> from Transger</source>
        <translation> 移管元</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>名前</translation>
    </message>
    <message>
        <source>E-mail</source>
        <translation>メールアドレス</translation>
    </message>
    <message>
        <source>ToTransfer</source>
        <translation>移管先</translation>
    </message>
    <message>
        <source>Group</source>
        <translation>グループ</translation>
    </message>
    <message>
        <source>MSG</source>
        <translation>MSG</translation>
    </message>
    <message>
        <source>TRANS</source>
        <translation>移管</translation>
    </message>
    <message>
        <source>CANCEL</source>
        <translation>キャンセル</translation>
    </message>
    <message>
        <source>Model Transfer</source>
        <translation>モデルの移管</translation>
    </message>
    <message>
        <source>Manager Transfer</source>
        <translation>管理者の移管</translation>
    </message>
    <message>
        <source>OUtput Transfer</source>
        <translation>出力の移管</translation>
    </message>
    <message>
        <source>Transfer</source>
        <translation>移管</translation>
    </message>
    <message>
        <source>Do you want to change email</source>
        <translation>メールアドレスを変更しますか</translation>
    </message>
    <message>
        <source>set transfer</source>
        <translation>移管の設定</translation>
    </message>
    <message>
        <source>cancel</source>
        <translation>キャンセル</translation>
    </message>
    <message>
        <source>transfer is not selected</source>
        <translation>移管先が選択されていません</translation>
    </message>
</context>
<context>
    <name>WorkspaceChooser</name>
    <message>
        <source>Open tolvek Workspace </source>
        <translation>tolvekワークスペースを開く </translation>
    </message>
</context>
<context>
    <name>manager</name>
    <message>
        <source>User</source>
        <translation>ユーザー</translation>
    </message>
    <message>
        <source>email address</source>
        <translation>メールアドレス</translation>
    </message>
    <message>
        <source>ID</source>
        <translation>ID</translation>
    </message>
    <message>
        <source>CurrentState</source>
        <translation>現在の状態</translation>
    </message>
    <message>
        <source>Redmine</source>
        <translation>Redmine</translation>
    </message>
    <message>
        <source>Last Name</source>
        <translation>姓</translation>
    </message>
    <message>
        <source>First Name</source>
        <translation>名</translation>
    </message>
    <message>
        <source>RedmineID</source>
        <translation>RedmineのID</translation>
    </message>
    <message>
        <source>Add Group User</source>
        <translation>グループユーザーの追加</translation>
    </message>
    <message>
        <source>Del Group User</source>
        <translation>グループユーザーの削除</translation>
    </message>
    <message>
        <source>manager.xml</source>
        <translation>manager.xml</translation>
    </message>
    <message>
        <source>File error</source>
        <translation>ファイルエラー</translation>
    </message>
    <message>
        <source>modify process end</source>
        <translation>更新処理が完了しました</translation>
    </message>
    <message>
        <source>cur_state owner</source>
        <translation>本人</translation>
    </message>
    <message>
        <source>cur_state open</source>
        <translation>オープン中</translation>
    </message>
    <message>
        <source>cur_state not open</source>
        <translation>未オープン</translation>
    </message>
    <message>
        <source>no member number is left</source>
        <translation>割り当てられるメンバー番号が残っていません</translation>
    </message>
    <message>
        <source>Since there are instance data, you will not be able to delete the user.</source>
        <translation>インスタンスのデータがあるため、このユーザーは削除できません。</translation>
    </message>
    <message>
        <source>yes</source>
        <translation>はい</translation>
    </message>
    <message>
        <source>Do you want to delete this user?</source>
        <translation>このユーザーを削除しますか？</translation>
    </message>
    <message>
        <source>no</source>
        <translation>いいえ</translation>
    </message>
    <message>
        <source>Manager Transfer</source>
        <translation>管理者の移管</translation>
    </message>
</context>
<context>
    <name>outdef</name>
    <message>
        <source>New Output</source>
        <translation>新規出力</translation>
    </message>
    <message>
        <source>Create File Identifier</source>
        <translation>ファイル識別子作成</translation>
    </message>
    <message>
        <source>Delete File Identifier</source>
        <translation>ファイル識別子削除</translation>
    </message>
    <message>
        <source>Create next Seq Identifier</source>
        <translation>次のシーケンス識別子作成</translation>
    </message>
    <message>
        <source>Create nesting Seq Identifier</source>
        <translation>入れ子シーケンス識別子作成</translation>
    </message>
    <message>
        <source>Move up Seq Identifier</source>
        <translation>シーケンス識別子を上へ</translation>
    </message>
    <message>
        <source>Move down Seq Identifier</source>
        <translation>シーケンス識別子を下へ</translation>
    </message>
    <message>
        <source>Move Seq Identifier to Temp</source>
        <translation>シーケンス識別子を一時へ移動</translation>
    </message>
    <message>
        <source>Move Seq Identifier to File</source>
        <translation>シーケンス識別子をファイルへ移動</translation>
    </message>
    <message>
        <source>Delete Seq Identifier</source>
        <translation>シーケンス識別子削除</translation>
    </message>
    <message>
        <source>check output file</source>
        <translation>出力ファイル確認</translation>
    </message>
    <message>
        <source>The output definition already exists:
%1</source>
        <translation>出力定義はすでに存在します:
%1</translation>
    </message>
    <message>
        <source>Open Output</source>
        <translation>出力を開く</translation>
    </message>
    <message>
        <source>not an output definition:%1</source>
        <translation>出力定義ではありません:%1</translation>
    </message>
    <message>
        <source>Seq</source>
        <translation>シーケンス</translation>
    </message>
    <message>
        <source>Temporary Seq</source>
        <translation>一時シーケンス</translation>
    </message>
    <message>
        <source>Loop</source>
        <translation>ループ</translation>
    </message>
    <message>
        <source>Form</source>
        <translation>フォーム</translation>
    </message>
    <message>
        <source>Output Name</source>
        <translation>出力名</translation>
    </message>
    <message>
        <source>Version</source>
        <translation>バージョン</translation>
    </message>
    <message>
        <source>Model Name</source>
        <translation>モデル名</translation>
    </message>
    <message>
        <source>Instance Name</source>
        <translation>インスタンス名</translation>
    </message>
    <message>
        <source>Start Date</source>
        <translation>開始日</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>日付</translation>
    </message>
    <message>
        <source>Completioin Date</source>
        <translation>完了日</translation>
    </message>
    <message>
        <source>File Identifier</source>
        <translation>ファイル識別子</translation>
    </message>
    <message>
        <source>Seq Identifier</source>
        <translation>シーケンス識別子</translation>
    </message>
    <message>
        <source>Title</source>
        <translation>タイトル</translation>
    </message>
    <message>
        <source>Temporay Seq</source>
        <translation>一時シーケンス</translation>
    </message>
    <message>
        <source>Tab 2</source>
        <translation>タブ 2</translation>
    </message>
    <message>
        <source>SEQ Identifier</source>
        <translation>シーケンス識別子</translation>
    </message>
    <message>
        <source>File</source>
        <translation>ファイル</translation>
    </message>
    <message>
        <source>Output</source>
        <translation>出力</translation>
    </message>
    <message>
        <source>Problem</source>
        <translation>問題</translation>
    </message>
    <message>
        <source>Code</source>
        <translation>コード</translation>
    </message>
    <message>
        <source>Var Identifier</source>
        <translation>変数識別子</translation>
    </message>
    <message>
        <source>LClass</source>
        <translation>大分類</translation>
    </message>
    <message>
        <source>SClass</source>
        <translation>小分類</translation>
    </message>
    <message>
        <source>Param</source>
        <translation>パラメータ</translation>
    </message>
    <message>
        <source>Value</source>
        <translation>値</translation>
    </message>
    <message>
        <source>ID</source>
        <translation>ID</translation>
    </message>
    <message>
        <source>Set Variable</source>
        <translation>変数設定</translation>
    </message>
    <message>
        <source>Del Variable</source>
        <translation>変数削除</translation>
    </message>
    <message>
        <source>Variable Position</source>
        <translation>変数の位置</translation>
    </message>
    <message>
        <source>Model</source>
        <translation>モデル</translation>
    </message>
    <message>
        <source>Delete file identifier</source>
        <translation>ファイル識別子削除</translation>
    </message>
    <message>
        <source>Do you want to delete current file identifier?</source>
        <translation>現在のファイル識別子を削除しますか?</translation>
    </message>
    <message>
        <source>Delete seq identifier</source>
        <translation>シーケンス識別子削除</translation>
    </message>
    <message>
        <source>Do you want to delete current seq identifier?</source>
        <translation>現在のシーケンス識別子を削除しますか?</translation>
    </message>
    <message>
        <source>connection error</source>
        <translation>接続エラー</translation>
    </message>
    <message>
        <source>Lclass is not found next temp lclass</source>
        <translation>一時シーケンスの大分類が見つかりません</translation>
    </message>
    <message>
        <source>loop variable is not found at file tree</source>
        <translation>ループ変数がファイルツリーに見つかりません</translation>
    </message>
    <message>
        <source>%1 sequence references nested deeper than %2 levels were dropped</source>
        <translation>入れ子が %2 段を超えるシーケンス参照 %1 件を除外しました</translation>
    </message>
    <message>
        <source>Output Definition</source>
        <translation>出力定義</translation>
    </message>
    <message>
        <source>%1: MaxID of %2 read &quot;%3&quot;, written &quot;%4&quot;</source>
        <translation>%1: %2 の MaxID は「%3」と読み、「%4」と書き込みました</translation>
    </message>
    <message>
        <source>Save Output</source>
        <translation>出力定義の保存</translation>
    </message>
    <message>
        <source>%1: not saved, %2 sequences would nest deeper than %3 levels and be lost on reopen</source>
        <translation>%1: 保存しませんでした。%2 個のシーケンスが %3 段を超えて入れ子になり、開き直すと失われます</translation>
    </message>
    <message>
        <source>Sequences nest at most %1 deep; this would nest %2 deep.</source>
        <translation>シーケンスの入れ子は %1 段までです。この操作では %2 段になります。</translation>
    </message>
</context>
<context>
    <name>tabcorner</name>
    <message>
        <source>Form</source>
        <translation>フォーム</translation>
    </message>
    <message>
        <source>PushButton</source>
        <translation>ボタン</translation>
    </message>
</context>
<context>
    <name>xmlclass</name>
    <message>
        <source>xmlclass error</source>
        <translation>xmlclassエラー</translation>
    </message>
    <message>
        <source>File error</source>
        <translation>ファイルエラー</translation>
    </message>
    <message>
        <source>filename:%1  Dom Parse:Parse error at line %2, column %3  %4</source>
        <translation>ファイル名:%1  DOM解析:%2 行 %3 列で解析エラー  %4</translation>
    </message>
    <message>
        <source>Xml Parse Error</source>
        <translation>XML解析エラー</translation>
    </message>
    <message>
        <source>can not write file:%1</source>
        <translation>ファイルに書き込めません:%1</translation>
    </message>
    <message>
        <source>file not exist:%1</source>
        <translation>ファイルがありません:%1</translation>
    </message>
    <message>
        <source>file not open %1</source>
        <translation>ファイルを開けません %1</translation>
    </message>
    <message>
        <source>folder not readable:%1</source>
        <translation>フォルダを読めません:%1</translation>
    </message>
    <message>
        <source>%1 was not written: %2</source>
        <translation>%1 は書き込まれませんでした: %2</translation>
    </message>
    <message>
        <source>%1 was not written: another program kept changing it while this one merged. Your changes are kept; save again later.</source>
        <translation>%1 は書き込まれませんでした: 統合している間も他のプログラムが変更し続けました。変更内容は残っています。後でもう一度保存してください。</translation>
    </message>
</context>
<context>
    <name>UiReport</name>
    <message>
        <source>File left out</source>
        <translation>表示しないファイル</translation>
    </message>
    <message>
        <source>%1 is not shown and kept as it is: %2</source>
        <translation>%1 は表示せず、そのまま残します: %2</translation>
    </message>
    <message>
        <source>its root element is &quot;%1&quot;, not &quot;%2&quot;</source>
        <translation>ルート要素が &quot;%1&quot; で、&quot;%2&quot; ではありません</translation>
    </message>
    <message>
        <source>File error</source>
        <translation>ファイルエラー</translation>
    </message>
</context>
<context>
    <name>SharedXml</name>
    <message>
        <source>elements nested deeper than %1 levels</source>
        <translation>要素の入れ子が %1 段を超えています</translation>
    </message>
    <message>
        <source>a document of %1 bytes, more than any workspace file needs</source>
        <translation>%1 バイトの文書です。ワークスペースのファイルに必要な大きさを超えています</translation>
    </message>
    <message>
        <source>more than %1 elements, attributes and texts, more than any workspace file needs</source>
        <translation>要素・属性・テキストが %1 個を超えています。ワークスペースのファイルに必要な数を超えています</translation>
    </message>
    <message>
        <source>entities declared, which no workspace file holds</source>
        <translation>実体 (ENTITY) が宣言されています。ワークスペースのファイルには含まれないものです</translation>
    </message>
    <message>
        <source>the name %1 has a prefix, which no workspace file uses and which this program cannot write back as read</source>
        <translation>名前 %1 には接頭辞があります。ワークスペースのファイルでは使われず、このプログラムは読んだとおりに書き戻せません</translation>
    </message>
    <message>
        <source>%1 was not written: %2</source>
        <translation>%1 は書き込まれませんでした: %2</translation>
    </message>
    <message>
        <source>%1 was not written: another program changed it since it was read. Your changes are kept; open the file again to see the other changes.</source>
        <translation>%1 は書き込まれませんでした: 読み込んだ後に別のプログラムが変更しました。変更内容は保持されています。ファイルを開き直すと相手の変更を確認できます。</translation>
    </message>
    <message>
        <source>can not write file:%1</source>
        <translation>ファイルを書き込めません:%1</translation>
    </message>
</context>
<context>
    <name>model</name>
    <message>
        <source>Model Name</source>
        <translation>モデル名</translation>
    </message>
    <message>
        <source>Version</source>
        <translation>バージョン</translation>
    </message>
    <message>
        <source>Start Date</source>
        <translation>開始日</translation>
    </message>
    <message>
        <source>Target Date</source>
        <translation>目標日</translation>
    </message>
    <message>
        <source>Completion Date</source>
        <translation>完了日</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>日付</translation>
    </message>
    <message>
        <source>LclassName</source>
        <translation>大分類名</translation>
    </message>
    <message>
        <source>SclassName</source>
        <translation>小分類名</translation>
    </message>
    <message>
        <source>Param</source>
        <translation>パラメータ</translation>
    </message>
    <message>
        <source>Value</source>
        <translation>値</translation>
    </message>
    <message>
        <source>ID</source>
        <translation>ID</translation>
    </message>
    <message>
        <source>LClass</source>
        <translation>大分類</translation>
    </message>
    <message>
        <source>SClass</source>
        <translation>小分類</translation>
    </message>
    <message>
        <source>explain</source>
        <translation>説明</translation>
    </message>
    <message>
        <source>Create Lclass</source>
        <translation>大分類作成</translation>
    </message>
    <message>
        <source>Create Sclass</source>
        <translation>小分類作成</translation>
    </message>
    <message>
        <source>Delete Lclass</source>
        <translation>大分類削除</translation>
    </message>
    <message>
        <source>Delete Sclass</source>
        <translation>小分類削除</translation>
    </message>
    <message>
        <source>Create Param</source>
        <translation>パラメータ作成</translation>
    </message>
    <message>
        <source>Delete Param</source>
        <translation>パラメータ削除</translation>
    </message>
    <message>
        <source>Mod ParamName</source>
        <translation>パラメータ名変更</translation>
    </message>
    <message>
        <source>not a model definition:</source>
        <translation>モデル定義ではありません:</translation>
    </message>
    <message>
        <source>as this model is differnt owner, this is read only.</source>
        <translation>このモデルは所有者が異なるため、読み取り専用です。</translation>
    </message>
    <message>
        <source>background-color: #666666;color: #FFFFFF</source>
        <translation>background-color: #666666;color: #FFFFFF</translation>
    </message>
    <message>
        <source>Copying a model version is not supported
</source>
        <translation>モデルバージョンのコピーには対応していません
</translation>
    </message>
    <message>
        <source>%1 already exists
</source>
        <translation>%1 が既に存在します
</translation>
    </message>
</context>
<context>
    <name>NewLclass</name>
    <message>
        <source>Create LClass</source>
        <translation>大分類作成</translation>
    </message>
    <message>
        <source>Lclass name</source>
        <translation>大分類名</translation>
    </message>
    <message>
        <source>Element name</source>
        <translation>要素名</translation>
    </message>
    <message>
        <source>SET</source>
        <translation>設定</translation>
    </message>
    <message>
        <source>UNSET</source>
        <translation>解除</translation>
    </message>
    <message>
        <source>Msg</source>
        <translation>メッセージ</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>CANCEL</source>
        <translation>キャンセル</translation>
    </message>
    <message>
        <source>the arbitary element is already exist</source>
        <translation>任意要素が既に存在します</translation>
    </message>
    <message>
        <source>the arbitary element is not set already lclass exist</source>
        <translation>同名の分類が既にあるため任意要素は設定できません</translation>
    </message>
    <message>
        <source>the same class found</source>
        <translation>同じ分類が見つかりました</translation>
    </message>
    <message>
        <source>lclass name is not set</source>
        <translation>大分類名が設定されていません</translation>
    </message>
    <message>
        <source>element name is not set</source>
        <translation>要素名が設定されていません</translation>
    </message>
    <message>
        <source>background-color: #666666;color: #FFFFFF</source>
        <translation>background-color: #666666;color: #FFFFFF</translation>
    </message>
</context>
<context>
    <name>NewSclass</name>
    <message>
        <source>New SClass</source>
        <translation>小分類作成</translation>
    </message>
    <message>
        <source>Lclass name</source>
        <translation>大分類名</translation>
    </message>
    <message>
        <source>Sclass name</source>
        <translation>小分類名</translation>
    </message>
    <message>
        <source>Element name</source>
        <translation>要素名</translation>
    </message>
    <message>
        <source>SET</source>
        <translation>設定</translation>
    </message>
    <message>
        <source>UNSET</source>
        <translation>解除</translation>
    </message>
    <message>
        <source>Msg</source>
        <translation>メッセージ</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>CANCEL</source>
        <translation>キャンセル</translation>
    </message>
    <message>
        <source>lclass name is not set</source>
        <translation>小分類名が設定されていません</translation>
    </message>
    <message>
        <source>Element name is not set</source>
        <translation>要素名が設定されていません</translation>
    </message>
    <message>
        <source>background-color: #666666;color: #FFFFFF</source>
        <translation>background-color: #666666;color: #FFFFFF</translation>
    </message>
</context>
<context>
    <name>MailTest</name>
    <message>
        <source>Test mail</source>
        <translation>テストメール</translation>
    </message>
    <message>
        <source>[parameter]</source>
        <translation>[パラメータ]</translation>
    </message>
    <message>
        <source>SmtpServer</source>
        <translation>SMTPサーバー</translation>
    </message>
    <message>
        <source>Port</source>
        <translation>ポート</translation>
    </message>
    <message>
        <source>Security</source>
        <translation>セキュリティ</translation>
    </message>
    <message>
        <source>Auth</source>
        <translation>認証</translation>
    </message>
    <message>
        <source>Sender</source>
        <translation>送信者</translation>
    </message>
    <message>
        <source>PWD</source>
        <translation>パスワード</translation>
    </message>
    <message>
        <source>test send addr</source>
        <translation>テスト送信先アドレス</translation>
    </message>
    <message>
        <source>result</source>
        <translation>結果</translation>
    </message>
    <message>
        <source>SEND</source>
        <translation>送信</translation>
    </message>
    <message>
        <source>END</source>
        <translation>終了</translation>
    </message>
    <message>
        <source>none</source>
        <translation>なし</translation>
    </message>
    <message>
        <source>Auto</source>
        <translation>自動</translation>
    </message>
    <message>
        <source>send is complete</source>
        <translation>送信完了</translation>
    </message>
    <message>
        <source>check connect</source>
        <translation>接続を確認してください</translation>
    </message>
    <message>
        <source>check connect, server, port</source>
        <translation>接続、サーバー、ポートを確認してください</translation>
    </message>
    <message>
        <source>check password</source>
        <translation>パスワードを確認してください</translation>
    </message>
    <message>
        <source>check sender address</source>
        <translation>送信者アドレスを確認してください</translation>
    </message>
    <message>
        <source>check recipent addr</source>
        <translation>送信先アドレスを確認してください</translation>
    </message>
    <message>
        <source>not send data, retry</source>
        <translation>データを送信できませんでした。再試行してください</translation>
    </message>
    <message>
        <source>[Pelmorine]:mail confimariton test</source>
        <translation>[Pelmorine]:メール確認テスト</translation>
    </message>
    <message>
        <source>this mail is test for Pelmorine.</source>
        <translation>このメールはPelmorineのテストです。</translation>
    </message>
</context>
<context>
    <name>SmtpControl</name>
    <message>
        <source>send was complete</source>
        <translation>送信が完了しました</translation>
    </message>
    <message>
        <source>send was failed</source>
        <translation>送信に失敗しました</translation>
    </message>
    <message>
        <source>Send failed for some recipients</source>
        <translation>一部の宛先への送信に失敗しました</translation>
    </message>
    <message>
        <source>[Model]</source>
        <translation>[モデル]</translation>
    </message>
    <message>
        <source>Model Name:</source>
        <translation>モデル名:</translation>
    </message>
    <message>
        <source>Model version</source>
        <translation>モデルバージョン</translation>
    </message>
    <message>
        <source>[Instance]</source>
        <translation>[インスタンス]</translation>
    </message>
    <message>
        <source>Instance Name:</source>
        <translation>インスタンス名:</translation>
    </message>
    <message>
        <source>Instance Version</source>
        <translation>インスタンスバージョン</translation>
    </message>
</context>
<context>
    <name>DocDiag</name>
    <message>
        <source>show file</source>
        <translation>ファイルの表示</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>CLOSE</source>
        <translation>閉じる</translation>
    </message>
    <message>
        <source>FileName</source>
        <translation>ファイル名</translation>
    </message>
    <message>
        <source>last date</source>
        <translation>最終更新日</translation>
    </message>
    <message>
        <source>size(byte)</source>
        <translation>サイズ(バイト)</translation>
    </message>
    <message>
        <source>Delete file</source>
        <translation>ファイルの削除</translation>
    </message>
    <message>
        <source>Show</source>
        <translation>表示</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>削除</translation>
    </message>
    <message>
        <source>Start error</source>
        <translation>起動エラー</translation>
    </message>
    <message>
        <source>can not start program:%1</source>
        <translation>プログラムを起動できません:%1</translation>
    </message>
    <message>
        <source>Delete Document</source>
        <translation>ドキュメントの削除</translation>
    </message>
    <message>
        <source>Do you want to delete document?</source>
        <translation>ドキュメントを削除しますか?</translation>
    </message>
    <message>
        <source>delete</source>
        <translation>削除</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>キャンセル</translation>
    </message>
    <message>
        <source>File error</source>
        <translation>ファイルエラー</translation>
    </message>
    <message>
        <source>can not delete file:%1</source>
        <translation>ファイルを削除できません:%1</translation>
    </message>
</context>
<context>
    <name>reffile</name>
    <message>
        <source>Form</source>
        <translation>フォーム</translation>
    </message>
    <message>
        <source>ref filename</source>
        <translation>参照ファイル名</translation>
    </message>
    <message>
        <source>date</source>
        <translation>日付</translation>
    </message>
    <message>
        <source>size</source>
        <translation>サイズ</translation>
    </message>
    <message>
        <source>Add Refference file</source>
        <translation>参照ファイルの追加</translation>
    </message>
    <message>
        <source>Del Refference file</source>
        <translation>参照ファイルの削除</translation>
    </message>
    <message>
        <source>show Refference file</source>
        <translation>参照ファイルの表示</translation>
    </message>
    <message>
        <source>upload Refference file</source>
        <translation>参照ファイルのアップロード</translation>
    </message>
    <message>
        <source>Set file</source>
        <translation>ファイルの設定</translation>
    </message>
    <message>
        <source>add_reference</source>
        <translation>参照に追加</translation>
    </message>
    <message>
        <source>File error</source>
        <translation>ファイルエラー</translation>
    </message>
    <message>
        <source>can not write file:%1</source>
        <translation>ファイルに書き込めません:%1</translation>
    </message>
    <message>
        <source>Upload file</source>
        <translation>ファイルのアップロード</translation>
    </message>
    <message>
        <source>upload_reference</source>
        <translation>アップロード</translation>
    </message>
</context>
<context>
    <name>refurl</name>
    <message>
        <source>Form</source>
        <translation>フォーム</translation>
    </message>
    <message>
        <source>Title</source>
        <translation>タイトル</translation>
    </message>
    <message>
        <source>Url</source>
        <translation>URL</translation>
    </message>
    <message>
        <source>Add Refference file</source>
        <translation>参照の追加</translation>
    </message>
    <message>
        <source>Mod Refference file</source>
        <translation>参照の変更</translation>
    </message>
    <message>
        <source>Del Refference file</source>
        <translation>参照の削除</translation>
    </message>
    <message>
        <source>show Refference file</source>
        <translation>参照の表示</translation>
    </message>
    <message>
        <source>Open link</source>
        <translation>リンクを開く</translation>
    </message>
    <message>
        <source>This address is not a web page:
%1
Do you want to open it?</source>
        <translation>このアドレスはWebページではありません:
%1
開きますか?</translation>
    </message>
    <message>
        <source>open</source>
        <translation>開く</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>キャンセル</translation>
    </message>
    <message>
        <source>Delete Address</source>
        <translation>アドレスの削除</translation>
    </message>
    <message>
        <source>Do you want to delete Address?</source>
        <translation>アドレスを削除しますか?</translation>
    </message>
</context>
<context>
    <name>AddHtml</name>
    <message>
        <source>New Html</source>
        <translation>新しいHTML</translation>
    </message>
    <message>
        <source>Title</source>
        <translation>タイトル</translation>
    </message>
    <message>
        <source>Address</source>
        <translation>アドレス</translation>
    </message>
    <message>
        <source>Paste</source>
        <translation>貼り付け</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>追加</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>キャンセル</translation>
    </message>
    <message>
        <source>Mod reference</source>
        <translation>参照の変更</translation>
    </message>
    <message>
        <source>Add reference</source>
        <translation>参照の追加</translation>
    </message>
    <message>
        <source>Mod Button</source>
        <translation>変更</translation>
    </message>
    <message>
        <source>Add Button</source>
        <translation>追加</translation>
    </message>
    <message>
        <source>title is not set</source>
        <translation>タイトルが設定されていません</translation>
    </message>
    <message>
        <source>address is not set</source>
        <translation>アドレスが設定されていません</translation>
    </message>
    <message>
        <source>&quot;%1&quot; can not be used in title or address</source>
        <translation>「%1」はタイトルやアドレスに使えません</translation>
    </message>
    <message>
        <source>same address is already set</source>
        <translation>同じアドレスが既に設定されています</translation>
    </message>
</context>
<context>
    <name>HtmlList</name>
    <message>
        <source>HTML</source>
        <translation>HTML</translation>
    </message>
    <message>
        <source>Title</source>
        <translation>タイトル</translation>
    </message>
    <message>
        <source>Address</source>
        <translation>アドレス</translation>
    </message>
    <message>
        <source>New</source>
        <translation>新規</translation>
    </message>
    <message>
        <source>Del</source>
        <translation>削除</translation>
    </message>
    <message>
        <source>Refference</source>
        <translation>参照</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>閉じる</translation>
    </message>
    <message>
        <source>CANCEL</source>
        <translation>キャンセル</translation>
    </message>
</context>
<context>
    <name>deftab</name>
    <message>
        <source>Form</source>
        <translation>フォーム</translation>
    </message>
    <message>
        <source>Model Name</source>
        <translation>モデル名</translation>
    </message>
    <message>
        <source>Version</source>
        <translation>バージョン</translation>
    </message>
    <message>
        <source>Instance Name</source>
        <translation>インスタンス名</translation>
    </message>
    <message>
        <source>Instance</source>
        <translation>インスタンス</translation>
    </message>
    <message>
        <source>Class</source>
        <translation>クラス</translation>
    </message>
    <message>
        <source>User Name</source>
        <translation>ユーザー名</translation>
    </message>
    <message>
        <source>LClass</source>
        <translation>大分類</translation>
    </message>
    <message>
        <source>SClass</source>
        <translation>小分類</translation>
    </message>
    <message>
        <source>Param</source>
        <translation>パラメータ</translation>
    </message>
    <message>
        <source>Value</source>
        <translation>値</translation>
    </message>
    <message>
        <source>ID</source>
        <translation>ID</translation>
    </message>
    <message>
        <source>LClass Element</source>
        <translation>大分類要素</translation>
    </message>
    <message>
        <source>SClass Element</source>
        <translation>小分類要素</translation>
    </message>
    <message>
        <source>Model Definition</source>
        <translation>モデル定義</translation>
    </message>
    <message>
        <source>Tab 2</source>
        <translation>タブ 2</translation>
    </message>
    <message>
        <source>Add Lclass</source>
        <translation>大分類の追加</translation>
    </message>
    <message>
        <source>Delete Lclass</source>
        <translation>大分類の削除</translation>
    </message>
    <message>
        <source>Add Sclass</source>
        <translation>小分類の追加</translation>
    </message>
    <message>
        <source>Delete Sclass</source>
        <translation>小分類の削除</translation>
    </message>
    <message>
        <source>Lclass</source>
        <translation>大分類</translation>
    </message>
    <message>
        <source>Sclass</source>
        <translation>小分類</translation>
    </message>
    <message>
        <source>Param_data</source>
        <translation>パラメータデータ</translation>
    </message>
    <message>
        <source>explain</source>
        <translation>説明</translation>
    </message>
    <message>
        <source>TabParam</source>
        <translation>パラメータ</translation>
    </message>
    <message>
        <source>TabSclass</source>
        <translation>小分類</translation>
    </message>
    <message>
        <source>Unset</source>
        <translation>未設定</translation>
    </message>
    <message>
        <source>Model Set Error</source>
        <translation>モデル設定エラー</translation>
    </message>
    <message>
        <source>Please select Model LClass</source>
        <translation>モデルの大分類を選択してください</translation>
    </message>
    <message>
        <source>LClass is exist in instance</source>
        <translation>大分類はインスタンスに既にあります</translation>
    </message>
    <message>
        <source>Element name is already exist</source>
        <translation>要素名は既にあります</translation>
    </message>
    <message>
        <source>global of Element name is already exist</source>
        <translation>要素名のグローバルは既にあります</translation>
    </message>
    <message>
        <source>Select Model Error</source>
        <translation>モデル選択エラー</translation>
    </message>
    <message>
        <source>sclass of model is not select</source>
        <translation>モデルの小分類が選択されていません</translation>
    </message>
    <message>
        <source>lclass of model and instance is different</source>
        <translation>モデルとインスタンスの大分類が違います</translation>
    </message>
    <message>
        <source>sclass of model exist same class</source>
        <translation>同じ小分類が既にあります</translation>
    </message>
    <message>
        <source>Open Model</source>
        <translation>モデルを開く</translation>
    </message>
</context>
<context>
    <name>InstanceFiles</name>
    <message>
        <source>File error</source>
        <translation>ファイルエラー</translation>
    </message>
    <message>
        <source>%1 was not saved: the values of row %2 take %3 bytes, more than a reader takes back on one line (%4); they stay in the instance</source>
        <translation>%1 は保存しませんでした: 行 %2 の値が %3 バイトあり、1 行として読み戻せる量 (%4) を超えています。値はインスタンスに残っています</translation>
    </message>
    <message>
        <source>%1 was not saved: a value of row %2 holds a NUL character; the values stay in the instance</source>
        <translation>%1 は保存しませんでした: 行 %2 の値に NUL 文字があります。値はインスタンスに残っています</translation>
    </message>
</context>
<context>
    <name>ChapterEditor</name>
    <message>
        <source>Create Chapter</source>
        <translation>章の作成</translation>
    </message>
    <message>
        <source>Delete Chapter</source>
        <translation>章の削除</translation>
    </message>
    <message>
        <source>Set Chapter</source>
        <translation>章に設定</translation>
    </message>
    <message>
        <source>Unset Chapter</source>
        <translation>章の設定解除</translation>
    </message>
    <message>
        <source>Moveup Chapter</source>
        <translation>章を上へ移動</translation>
    </message>
    <message>
        <source>Movedown Chapter</source>
        <translation>章を下へ移動</translation>
    </message>
    <message>
        <source>set Unset</source>
        <translation>設定解除</translation>
    </message>
    <message>
        <source>Will you want to unset the document</source>
        <translation>ドキュメントの設定を解除しますか</translation>
    </message>
    <message>
        <source>Save Document</source>
        <translation>ドキュメントの保存</translation>
    </message>
    <message>
        <source>%1 is not saved: its chapters would nest %2 levels deep, and a chapter file holds at most %3 so that every member can still open it. The changes stay in the document.</source>
        <translation>%1 は保存しませんでした: 章の入れ子が %2 段になりますが、どのメンバーも開けるよう章のファイルは %3 段までです。変更はドキュメントに残っています。</translation>
    </message>
</context>
<context>
    <name>ChapterDiag</name>
    <message>
        <source>Create Chapter</source>
        <translation>章の作成</translation>
    </message>
    <message>
        <source>Chapter</source>
        <translation>章</translation>
    </message>
    <message>
        <source>Title</source>
        <translation>タイトル</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>CANCEL</source>
        <translation>キャンセル</translation>
    </message>
    <message>
        <source>this chapter will be renumbering:</source>
        <translation>この章から番号が変わります:</translation>
    </message>
    <message>
        <source>Title is empty</source>
        <translation>タイトルが空です</translation>
    </message>
    <message>
        <source>Chapters nest at most %1 levels deep, so that every member can still open the file: chapter %2 takes no sub-chapter.</source>
        <translation>どのメンバーもファイルを開けるよう、章の入れ子は %1 段までです: 章 %2 には下位の章を作れません。</translation>
    </message>
</context>
<context>
    <name>DelChapter</name>
    <message>
        <source>Del Chapter</source>
        <translation>章の削除</translation>
    </message>
    <message>
        <source>Chapter</source>
        <translation>章</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>名前</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>CANCEL</source>
        <translation>キャンセル</translation>
    </message>
</context>
<context>
    <name>InstanceDocument</name>
    <message>
        <source>Instance Name</source>
        <translation>インスタンス名</translation>
    </message>
    <message>
        <source>version</source>
        <translation>バージョン</translation>
    </message>
    <message>
        <source>Chapter</source>
        <translation>章</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>名前</translation>
    </message>
    <message>
        <source>Title</source>
        <translation>タイトル</translation>
    </message>
    <message>
        <source>DocID</source>
        <translation>DocID</translation>
    </message>
    <message>
        <source>InstID</source>
        <translation>InstID</translation>
    </message>
    <message>
        <source>User</source>
        <translation>ユーザー</translation>
    </message>
    <message>
        <source>LCass</source>
        <translation>大分類</translation>
    </message>
    <message>
        <source>SClass</source>
        <translation>小分類</translation>
    </message>
    <message>
        <source>Param</source>
        <translation>パラメータ</translation>
    </message>
    <message>
        <source>Value</source>
        <translation>値</translation>
    </message>
    <message>
        <source>ID</source>
        <translation>ID</translation>
    </message>
</context>
<context>
    <name>ModelDoc</name>
    <message>
        <source>Model Name</source>
        <translation>モデル名</translation>
    </message>
    <message>
        <source>version</source>
        <translation>バージョン</translation>
    </message>
    <message>
        <source>Chapter</source>
        <translation>章</translation>
    </message>
    <message>
        <source>Title</source>
        <translation>タイトル</translation>
    </message>
    <message>
        <source>DocID</source>
        <translation>DocID</translation>
    </message>
    <message>
        <source>ID</source>
        <translation>ID</translation>
    </message>
    <message>
        <source>LCass</source>
        <translation>大分類</translation>
    </message>
    <message>
        <source>SClass</source>
        <translation>小分類</translation>
    </message>
    <message>
        <source>Param</source>
        <translation>パラメータ</translation>
    </message>
    <message>
        <source>Value</source>
        <translation>値</translation>
    </message>
</context>
<context>
    <name>Chat</name>
    <message>
        <source>Chat System</source>
        <translation>チャットシステム</translation>
    </message>
    <message>
        <source>Tab 1</source>
        <translation>タブ 1</translation>
    </message>
    <message>
        <source>Tab 2</source>
        <translation>タブ 2</translation>
    </message>
    <message>
        <source>USER</source>
        <translation>ユーザー</translation>
    </message>
    <message>
        <source>ACCOUNT</source>
        <translation>アカウント</translation>
    </message>
    <message>
        <source>SEND</source>
        <translation>送信</translation>
    </message>
    <message>
        <source>CLEAR</source>
        <translation>クリア</translation>
    </message>
    <message>
        <source>CLOSE</source>
        <translation>閉じる</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>日付</translation>
    </message>
    <message>
        <source>SELECT</source>
        <translation>選択</translation>
    </message>
    <message>
        <source>NONE</source>
        <translation>なし</translation>
    </message>
    <message>
        <source>AGREE</source>
        <translation>賛成</translation>
    </message>
    <message>
        <source>OPPO</source>
        <translation>反対</translation>
    </message>
    <message>
        <source>NUTRAL</source>
        <translation>中立</translation>
    </message>
    <message>
        <source>MINF</source>
        <translation>情報不足</translation>
    </message>
    <message>
        <source>GOOD</source>
        <translation>良い</translation>
    </message>
    <message>
        <source>Layout</source>
        <translation>レイアウト</translation>
    </message>
    <message>
        <source>received account is empty</source>
        <translation>受信アカウントがありません</translation>
    </message>
    <message>
        <source>received account is not selected</source>
        <translation>受信アカウントが選択されていません</translation>
    </message>
    <message>
        <source>message is empty</source>
        <translation>メッセージが空です</translation>
    </message>
    <message>
        <source>ALL member</source>
        <translation>全メンバー</translation>
    </message>
    <message>
        <source>date is over today</source>
        <translation>日付が今日以降です</translation>
    </message>
    <message>
        <source>change date</source>
        <translation>日付を変更しました</translation>
    </message>
    <message>
        <source>message is</source>
        <translation>メッセージは</translation>
    </message>
    <message>
        <source>cases</source>
        <translation>件</translation>
    </message>
    <message>
        <source>yyyy/MM/dd</source>
        <translation>yyyy/MM/dd</translation>
    </message>
    <message>
        <source>date is not select</source>
        <translation>日付が選択されていません</translation>
    </message>
    <message>
        <source>deletedate</source>
        <translation>削除日時</translation>
    </message>
    <message>
        <source>sendnum</source>
        <translation>送信数</translation>
    </message>
    <message>
        <source>people</source>
        <translation>人</translation>
    </message>
    <message>
        <source>rcvnum</source>
        <translation>受信数</translation>
    </message>
    <message>
        <source> delete </source>
        <translation> 削除 </translation>
    </message>
    <message>
        <source>num</source>
        <translation>件</translation>
    </message>
    <message>
        <source>not saved</source>
        <translation>未保存</translation>
    </message>
    <message>
        <source>message was not saved: %1</source>
        <translation>メッセージを保存できませんでした: %1</translation>
    </message>
    <message>
        <source>unsaved messages are saved now</source>
        <translation>未保存のメッセージを保存しました</translation>
    </message>
    <message>
        <source>1 chat message could not be saved and is lost.</source>
        <translation>チャットのメッセージ 1 件を保存できず、失われます。</translation>
    </message>
    <message>
        <source>%1 chat messages could not be saved and are lost.</source>
        <translation>チャットのメッセージ %1 件を保存できず、失われます。</translation>
    </message>
    <message>
        <source>Chat changes could not be saved and are lost.</source>
        <translation>チャットの変更を保存できず、失われます。</translation>
    </message>
    <message>
        <source>Chat not saved</source>
        <translation>チャットを保存できませんでした</translation>
    </message>
    <message>
        <source>Day files not written:</source>
        <translation>書き込めなかった日付ファイル:</translation>
    </message>
    <message>
        <source>answer can not be sent: %1</source>
        <translation>応答を送信できません: %1</translation>
    </message>
    <message>
        <source>message can not be sent: %1</source>
        <translation>メッセージを送信できません: %1</translation>
    </message>
</context>
<context>
    <name>ChatCdata</name>
    <message>
        <source>chat file is damaged and could not be moved: %1</source>
        <translation>チャットファイルが壊れていて移動できません: %1</translation>
    </message>
    <message>
        <source>chat file was damaged and moved to %1</source>
        <translation>チャットファイルが壊れていたため %1 に移動しました</translation>
    </message>
    <message>
        <source>line %1, column %2: %3</source>
        <translation>%1 行 %2 列: %3</translation>
    </message>
    <message>
        <source>more than %1 messages, more than one member&apos;s chat of a day holds</source>
        <translation>メッセージが %1 件を超えています。1 人のメンバーの 1 日のチャットにある数を超えています</translation>
    </message>
    <message>
        <source>%1 holds %2 messages, as many as the chat file of a day takes</source>
        <translation>%1 には %2 件のメッセージがあり、1 日のチャットファイルが持てる上限に達しています</translation>
    </message>
    <message>
        <source>%1 names more than %2 members, more than the chat file of a day takes</source>
        <translation>%1 には %2 人を超えるメンバーが記されており、1 日のチャットファイルが持てる数を超えています</translation>
    </message>
    <message>
        <source>its text holds &quot;]]&gt;&quot; more than %1 times</source>
        <translation>本文に &quot;]]&gt;&quot; が %1 回を超えて含まれています</translation>
    </message>
    <message>
        <source>no chat file</source>
        <translation>チャットファイルがありません</translation>
    </message>
    <message>
        <source>its text takes %1 bytes, more than the %2 a chat message may take</source>
        <translation>本文が %1 バイトあり、チャットのメッセージの上限 %2 を超えています</translation>
    </message>
    <message>
        <source>%1 would grow past %2 bytes, more than the chat file of a day takes</source>
        <translation>%1 が %2 バイトを超え、1 日分のチャットファイルの上限を超えます</translation>
    </message>
    <message>
        <source>%1 would take %2 bytes, more than the chat file of a day takes: not written</source>
        <translation>%1 は %2 バイトになり、1 日分のチャットファイルの上限を超えます: 書き込みませんでした</translation>
    </message>
    <message>
        <source>%1 could not be read: the messages of its day are not written</source>
        <translation>%1 を読めませんでした: その日のメッセージは書き込まれません</translation>
    </message>
</context>
<context>
    <name>ChatTable</name>
    <message>
        <source>DelMessage</source>
        <translation>メッセージ削除</translation>
    </message>
    <message>
        <source>Is delete message?</source>
        <translation>メッセージを削除しますか?</translation>
    </message>
    <message>
        <source>del</source>
        <translation>削除</translation>
    </message>
    <message>
        <source>cancel</source>
        <translation>キャンセル</translation>
    </message>
</context>
<context>
    <name>ChatResponse</name>
    <message>
        <source>Dialog</source>
        <translation>ダイアログ</translation>
    </message>
    <message>
        <source>USER</source>
        <translation>ユーザー</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>時刻</translation>
    </message>
    <message>
        <source>Select Response</source>
        <translation>応答を選択</translation>
    </message>
    <message>
        <source>NONE</source>
        <translation>なし</translation>
    </message>
    <message>
        <source>AGREE</source>
        <translation>賛成</translation>
    </message>
    <message>
        <source>OPPO</source>
        <translation>反対</translation>
    </message>
    <message>
        <source>NUTRAL</source>
        <translation>中立</translation>
    </message>
    <message>
        <source>MINF</source>
        <translation>情報不足</translation>
    </message>
    <message>
        <source>GOOD</source>
        <translation>良い</translation>
    </message>
    <message>
        <source>SET</source>
        <translation>設定</translation>
    </message>
    <message>
        <source>CANCEL</source>
        <translation>キャンセル</translation>
    </message>
    <message>
        <source>same type</source>
        <translation>同じ種類です</translation>
    </message>
</context>
<context>
    <name>ChatNotif</name>
    <message>
        <source>Chat Notification</source>
        <translation>チャット通知</translation>
    </message>
    <message>
        <source>message</source>
        <translation>メッセージ</translation>
    </message>
    <message>
        <source>OPEN</source>
        <translation>開く</translation>
    </message>
    <message>
        <source>CANCEL</source>
        <translation>キャンセル</translation>
    </message>
</context>
<context>
    <name>ModelLclass</name>
    <message>
        <source>Form</source>
        <translation>フォーム</translation>
    </message>
    <message>
        <source>Start Date</source>
        <translation>開始日</translation>
    </message>
    <message>
        <source>Target Date</source>
        <translation>目標日</translation>
    </message>
    <message>
        <source>Completion Date</source>
        <translation>完了日</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>日付</translation>
    </message>
    <message>
        <source>Property</source>
        <translation>プロパティ</translation>
    </message>
    <message>
        <source>Value</source>
        <translation>値</translation>
    </message>
    <message>
        <source>Explanation</source>
        <translation>説明</translation>
    </message>
    <message>
        <source>Tab 2</source>
        <translation>タブ 2</translation>
    </message>
    <message>
        <source>LClass Name</source>
        <translation>大分類名</translation>
    </message>
    <message>
        <source>Element Name</source>
        <translation>要素名</translation>
    </message>
    <message>
        <source>SClass</source>
        <translation>小分類</translation>
    </message>
    <message>
        <source>Element</source>
        <translation>要素</translation>
    </message>
    <message>
        <source>lclass explain</source>
        <translation>大分類の説明</translation>
    </message>
</context>
<context>
    <name>ModelSClass</name>
    <message>
        <source>Form</source>
        <translation>フォーム</translation>
    </message>
    <message>
        <source>Start Date</source>
        <translation>開始日</translation>
    </message>
    <message>
        <source>Target Date</source>
        <translation>目標日</translation>
    </message>
    <message>
        <source>Completion Date</source>
        <translation>完了日</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>日付</translation>
    </message>
    <message>
        <source>Property</source>
        <translation>プロパティ</translation>
    </message>
    <message>
        <source>Value</source>
        <translation>値</translation>
    </message>
    <message>
        <source>Explanation</source>
        <translation>説明</translation>
    </message>
    <message>
        <source>Tab 2</source>
        <translation>タブ 2</translation>
    </message>
    <message>
        <source>LClass Name  </source>
        <translation>大分類名  </translation>
    </message>
    <message>
        <source>lclass name</source>
        <translation>大分類名</translation>
    </message>
    <message>
        <source>LClass Element</source>
        <translation>大分類の要素</translation>
    </message>
    <message>
        <source>lcalss element</source>
        <translation>大分類の要素</translation>
    </message>
    <message>
        <source>SClass Name</source>
        <translation>小分類名</translation>
    </message>
    <message>
        <source>SClass Element</source>
        <translation>小分類の要素</translation>
    </message>
    <message>
        <source>Param</source>
        <translation>パラメータ</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>名前</translation>
    </message>
    <message>
        <source>Param Attribute</source>
        <translation>パラメータ属性</translation>
    </message>
    <message>
        <source>ParamExplanation</source>
        <translation>パラメータの説明</translation>
    </message>
    <message>
        <source>sclass explain</source>
        <translation>小分類の説明</translation>
    </message>
    <message>
        <source>param explain</source>
        <translation>パラメータの説明</translation>
    </message>
    <message>
        <source>Out Variable</source>
        <translation>出力変数</translation>
    </message>
    <message>
        <source>State</source>
        <translation>状態</translation>
    </message>
    <message>
        <source>Transition</source>
        <translation>遷移</translation>
    </message>
    <message>
        <source>FromState</source>
        <translation>遷移元の状態</translation>
    </message>
    <message>
        <source>ToState</source>
        <translation>遷移先の状態</translation>
    </message>
    <message>
        <source>Param Attribute:</source>
        <translation>パラメータ属性:</translation>
    </message>
    <message>
        <source>el_name:</source>
        <translation>要素名:</translation>
    </message>
</context>
<context>
    <name>OutFile</name>
    <message>
        <source>Form</source>
        <translation>フォーム</translation>
    </message>
    <message>
        <source>Title</source>
        <translation>タイトル</translation>
    </message>
    <message>
        <source>File Identifier</source>
        <translation>ファイル識別子</translation>
    </message>
    <message>
        <source>FileName</source>
        <translation>ファイル名</translation>
    </message>
    <message>
        <source>Extension</source>
        <translation>拡張子</translation>
    </message>
</context>
<context>
    <name>OutSeq</name>
    <message>
        <source>Form</source>
        <translation>フォーム</translation>
    </message>
    <message>
        <source>Title</source>
        <translation>タイトル</translation>
    </message>
    <message>
        <source>Loop</source>
        <translation>ループ</translation>
    </message>
    <message>
        <source>Seq Identifier</source>
        <translation>シーケンス識別子</translation>
    </message>
    <message>
        <source>End Loop</source>
        <translation>ループ終了</translation>
    </message>
    <message>
        <source>Code Set</source>
        <translation>コード設定</translation>
    </message>
    <message>
        <source>Code Del</source>
        <translation>コード削除</translation>
    </message>
    <message>
        <source>Mod</source>
        <translation>更新</translation>
    </message>
    <message>
        <source>Nest Sequence</source>
        <translation>入れ子シーケンス</translation>
    </message>
    <message>
        <source>Variable Identifier</source>
        <translation>変数識別子</translation>
    </message>
    <message>
        <source>Setting Count</source>
        <translation>設定数</translation>
    </message>
    <message>
        <source>Looping</source>
        <translation>ループ</translation>
    </message>
    <message>
        <source>Var Identifier</source>
        <translation>変数識別子</translation>
    </message>
    <message>
        <source>Tab 2</source>
        <translation>タブ 2</translation>
    </message>
    <message>
        <source>describing continue</source>
        <translation>続けて記述</translation>
    </message>
    <message>
        <source>A new line</source>
        <translation>改行</translation>
    </message>
    <message>
        <source>write all</source>
        <translation>すべて書く</translation>
    </message>
    <message>
        <source>Delete after $Var at last</source>
        <translation>最後の$Var以降を削除</translation>
    </message>
    <message>
        <source>UnSet</source>
        <translation>未設定</translation>
    </message>
</context>
<context>
    <name>NewParam</name>
    <message>
        <source>Create Param</source>
        <translation>パラメータ作成</translation>
    </message>
    <message>
        <source>Parametr name</source>
        <translation>パラメータ名</translation>
    </message>
    <message>
        <source>Row</source>
        <translation>行</translation>
    </message>
    <message>
        <source>Column</source>
        <translation>列</translation>
    </message>
    <message>
        <source>Normal</source>
        <translation>通常</translation>
    </message>
    <message>
        <source>Transition</source>
        <translation>遷移</translation>
    </message>
    <message>
        <source>State</source>
        <translation>状態</translation>
    </message>
    <message>
        <source>State List</source>
        <translation>状態リスト</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>CANCEL</source>
        <translation>キャンセル</translation>
    </message>
    <message>
        <source>current K[%1][%2] will be renumbered</source>
        <translation>現在の K[%1][%2] は番号が振り直されます</translation>
    </message>
    <message>
        <source>add param</source>
        <translation>パラメータ追加</translation>
    </message>
    <message>
        <source>mod param</source>
        <translation>パラメータ変更</translation>
    </message>
    <message>
        <source>new btn</source>
        <translation>追加</translation>
    </message>
    <message>
        <source>mod btn</source>
        <translation>変更</translation>
    </message>
    <message>
        <source>param name</source>
        <translation>パラメータ名</translation>
    </message>
    <message>
        <source>state name</source>
        <translation>状態名</translation>
    </message>
    <message>
        <source>tr name</source>
        <translation>遷移名</translation>
    </message>
    <message>
        <source>Parameter name is not set</source>
        <translation>パラメータ名が設定されていません</translation>
    </message>
    <message>
        <source>State name is already registered</source>
        <translation>状態名は既に登録されています</translation>
    </message>
    <message>
        <source>list of State name is empty</source>
        <translation>状態名のリストが空です</translation>
    </message>
    <message>
        <source>transition name of State name is already registered</source>
        <translation>この状態の遷移名は既に登録されています</translation>
    </message>
</context>
<context>
    <name>DeleteLclassDiag</name>
    <message>
        <source>Delete Lclass</source>
        <translation>大分類削除</translation>
    </message>
    <message>
        <source>LClass name</source>
        <translation>大分類名</translation>
    </message>
    <message>
        <source>Element name</source>
        <translation>要素名</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>CANCEL</source>
        <translation>キャンセル</translation>
    </message>
    <message>
        <source>Will also be deleted small class</source>
        <translation>小分類も削除されます</translation>
    </message>
    <message>
        <source>background-color: #666666;color: #FFFFFF</source>
        <translation>background-color: #666666;color: #FFFFFF</translation>
    </message>
</context>
<context>
    <name>DeleteSclassDiag</name>
    <message>
        <source>DeleteSClass</source>
        <translation>小分類削除</translation>
    </message>
    <message>
        <source>Sclass name</source>
        <translation>小分類名</translation>
    </message>
    <message>
        <source>Element name</source>
        <translation>要素名</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>CANCEL</source>
        <translation>キャンセル</translation>
    </message>
    <message>
        <source>parameter is also deleted</source>
        <translation>パラメータも削除されます</translation>
    </message>
    <message>
        <source>background-color: #666666;color: #FFFFFF</source>
        <translation>background-color: #666666;color: #FFFFFF</translation>
    </message>
</context>
<context>
    <name>DeleteParamDiag</name>
    <message>
        <source>Delete Param</source>
        <translation>パラメータ削除</translation>
    </message>
    <message>
        <source>Param</source>
        <translation>パラメータ</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>名前</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>CANCEL</source>
        <translation>キャンセル</translation>
    </message>
    <message>
        <source>Transition of state is set</source>
        <translation>状態の遷移が設定されています</translation>
    </message>
    <message>
        <source>Transition delete K[N][1],K[N][2],K[N][3]</source>
        <translation>遷移を削除します K[N][1],K[N][2],K[N][3]</translation>
    </message>
    <message>
        <source>background-color: #666666;color: #FFFFFF</source>
        <translation>background-color: #666666;color: #FFFFFF</translation>
    </message>
</context>
<context>
    <name>TransList</name>
    <message>
        <source>Dialog</source>
        <translation>状態選択</translation>
    </message>
    <message>
        <source>From State</source>
        <translation>遷移元状態</translation>
    </message>
    <message>
        <source>To State</source>
        <translation>遷移先状態</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>CANCEL</source>
        <translation>キャンセル</translation>
    </message>
</context>
<context>
    <name>ValueTable</name>
    <message>
        <source>None</source>
        <translation>なし</translation>
    </message>
    <message>
        <source>a value can not hold &quot;,&quot; or a line break</source>
        <translation>値に &quot;,&quot; や改行は入れられません</translation>
    </message>
    <message>
        <source>row %1 is too long to be saved: its values take more than %2 bytes</source>
        <translation>行 %1 は長すぎて保存できません: 値が %2 バイトを超えています</translation>
    </message>
</context>
<context>
    <name>CreateQA</name>
    <message>
        <source>CreateQA</source>
        <translation>質問・回答の作成</translation>
    </message>
    <message>
        <source>Type         </source>
        <translation>種別         </translation>
    </message>
    <message>
        <source>Owner        </source>
        <translation>所有者       </translation>
    </message>
    <message>
        <source>ID             </source>
        <translation>ID             </translation>
    </message>
    <message>
        <source>Title          </source>
        <translation>タイトル       </translation>
    </message>
    <message>
        <source>Instance ID</source>
        <translation>インスタンスID</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>CANCEL</source>
        <translation>キャンセル</translation>
    </message>
    <message>
        <source>add_ok</source>
        <translation>追加</translation>
    </message>
    <message>
        <source>del_ok</source>
        <translation>削除</translation>
    </message>
    <message>
        <source>title is not set</source>
        <translation>タイトルが設定されていません</translation>
    </message>
</context>
<context>
    <name>DocCdata</name>
    <message>
        <source>File error</source>
        <translation>ファイルエラー</translation>
    </message>
    <message>
        <source>filename:%1  Dom Parse:Parse error at line %2, column %3  %4</source>
        <translation>ファイル名:%1  DOM解析:%2 行 %3 列で解析エラー  %4</translation>
    </message>
    <message>
        <source>Xml Parse Error</source>
        <translation>XML解析エラー</translation>
    </message>
    <message>
        <source>history not written, its file could not be read:%1</source>
        <translation>ファイルを読めなかったため履歴を書き込みません:%1</translation>
    </message>
    <message>
        <source>file not exist:%1</source>
        <translation>ファイルがありません:%1</translation>
    </message>
    <message>
        <source>file not open %1</source>
        <translation>ファイルを開けません %1</translation>
    </message>
    <message>
        <source>history not written: %1</source>
        <translation>履歴を書き込みませんでした: %1</translation>
    </message>
    <message>
        <source>the history %1 would hold %2 elements, attributes and texts, more than a history may hold to be read back (%3); each &quot;]]&gt;&quot; in a text adds one</source>
        <translation>履歴 %1 の要素・属性・テキストが %2 個になり、読み戻せる履歴の上限 (%3) を超えます。本文中の &quot;]]&gt;&quot; はそれぞれ 1 個に数えます</translation>
    </message>
    <message>
        <source>the history %1 would take up to %2 bytes, more than a history may take to be read back (%3)</source>
        <translation>履歴 %1 が最大 %2 バイトになり、読み戻せる履歴の上限 (%3) を超えます</translation>
    </message>
</context>
<context>
    <name>QandA</name>
    <message>
        <source>QandA</source>
        <translation>Q&amp;A</translation>
    </message>
    <message>
        <source>Question</source>
        <translation>質問</translation>
    </message>
    <message>
        <source>Type</source>
        <translation>種別</translation>
    </message>
    <message>
        <source>User</source>
        <translation>ユーザ</translation>
    </message>
    <message>
        <source>ID</source>
        <translation>ID</translation>
    </message>
    <message>
        <source>Title</source>
        <translation>タイトル</translation>
    </message>
    <message>
        <source>Startdate</source>
        <translation>開始日</translation>
    </message>
    <message>
        <source>Moddate</source>
        <translation>更新日</translation>
    </message>
    <message>
        <source>Targetdate</source>
        <translation>目標日</translation>
    </message>
    <message>
        <source>Completiondate</source>
        <translation>完了日</translation>
    </message>
    <message>
        <source>State</source>
        <translation>状態</translation>
    </message>
    <message>
        <source>InstID</source>
        <translation>インスタンスID</translation>
    </message>
    <message>
        <source>Answer</source>
        <translation>回答</translation>
    </message>
    <message>
        <source>Instance</source>
        <translation>インスタンス</translation>
    </message>
    <message>
        <source>User Name</source>
        <translation>ユーザ名</translation>
    </message>
    <message>
        <source>LClass</source>
        <translation>大分類</translation>
    </message>
    <message>
        <source>SClass</source>
        <translation>小分類</translation>
    </message>
    <message>
        <source>Param</source>
        <translation>パラメータ</translation>
    </message>
    <message>
        <source>Value</source>
        <translation>値</translation>
    </message>
    <message>
        <source>Tab 2</source>
        <translation>タブ 2</translation>
    </message>
    <message>
        <source>Question State</source>
        <translation>質問状態</translation>
    </message>
    <message>
        <source>SET</source>
        <translation>設定</translation>
    </message>
    <message>
        <source>Setuse</source>
        <translation>宛先</translation>
    </message>
    <message>
        <source>UserList</source>
        <translation>ユーザ一覧</translation>
    </message>
    <message>
        <source>Explanation</source>
        <translation>説明</translation>
    </message>
    <message>
        <source>No.</source>
        <translation>No.</translation>
    </message>
    <message>
        <source>STATUS</source>
        <translation>状態</translation>
    </message>
    <message>
        <source>DATE</source>
        <translation>日付</translation>
    </message>
    <message>
        <source>TIME</source>
        <translation>時刻</translation>
    </message>
    <message>
        <source>History</source>
        <translation>履歴</translation>
    </message>
    <message>
        <source>QQuestion</source>
        <translation>質問</translation>
    </message>
    <message>
        <source>QRequest</source>
        <translation>依頼</translation>
    </message>
    <message>
        <source>Confirmation</source>
        <translation>確認</translation>
    </message>
    <message>
        <source>update Message</source>
        <translation>メッセージ更新</translation>
    </message>
    <message>
        <source>Progressing</source>
        <translation>進行中</translation>
    </message>
    <message>
        <source>Stopped</source>
        <translation>中止</translation>
    </message>
    <message>
        <source>Completion</source>
        <translation>完了</translation>
    </message>
    <message>
        <source>new message</source>
        <translation>新規メッセージ</translation>
    </message>
    <message>
        <source>Create Question</source>
        <translation>質問の作成</translation>
    </message>
    <message>
        <source>Delete Question</source>
        <translation>質問の削除</translation>
    </message>
    <message>
        <source>Create Answer</source>
        <translation>回答の作成</translation>
    </message>
    <message>
        <source>Delete Answer</source>
        <translation>回答の削除</translation>
    </message>
    <message>
        <source>qstatus</source>
        <translation>質問状態</translation>
    </message>
    <message>
        <source>answer status</source>
        <translation>回答状態</translation>
    </message>
    <message>
        <source>Set file</source>
        <translation>ファイルの設定</translation>
    </message>
    <message>
        <source>create Question Error</source>
        <translation>質問作成エラー</translation>
    </message>
    <message>
        <source>instance class is not selected</source>
        <translation>インスタンスクラスが選択されていません</translation>
    </message>
    <message>
        <source>answer is exist</source>
        <translation>回答があります</translation>
    </message>
    <message>
        <source>Delete reference</source>
        <translation>参照の削除</translation>
    </message>
    <message>
        <source>Are you sure that you want to delete?</source>
        <translation>削除してよろしいですか?</translation>
    </message>
    <message>
        <source>yes</source>
        <translation>はい</translation>
    </message>
    <message>
        <source>no</source>
        <translation>いいえ</translation>
    </message>
    <message>
        <source>Delete answer</source>
        <translation>回答の削除</translation>
    </message>
    <message>
        <source>answer and confirmation</source>
        <translation>回答と確認</translation>
    </message>
    <message>
        <source>modify Message</source>
        <translation>メッセージ更新</translation>
    </message>
    <message>
        <source>progress Message</source>
        <translation>メッセージ進行</translation>
    </message>
    <message>
        <source>stop Message</source>
        <translation>メッセージ中止</translation>
    </message>
    <message>
        <source>completion Message</source>
        <translation>メッセージ完了</translation>
    </message>
    <message>
        <source>Are you sure that you modify message?</source>
        <translation>メッセージを更新してよろしいですか?</translation>
    </message>
    <message>
        <source>Are you sure that you progress message?</source>
        <translation>メッセージを進行にしてよろしいですか?</translation>
    </message>
    <message>
        <source>Are you sure that you stop message?</source>
        <translation>メッセージを中止してよろしいですか?</translation>
    </message>
    <message>
        <source>Are you sure that you completion message?</source>
        <translation>メッセージを完了にしてよろしいですか?</translation>
    </message>
    <message>
        <source>File error</source>
        <translation>ファイルエラー</translation>
    </message>
    <message>
        <source>file can not be read, it is not written until reopened:%1</source>
        <translation>ファイルを読めません。開き直すまで書き込みません:%1</translation>
    </message>
    <message>
        <source>mr. have a question</source>
        <translation>さんから質問があります</translation>
    </message>
    <message>
        <source>mr. have a answer from question</source>
        <translation>さんから質問への回答があります</translation>
    </message>
    <message>
        <source>[instance Lclass]</source>
        <translation>[インスタンス Lclass]</translation>
    </message>
    <message>
        <source>Lclass ID:</source>
        <translation>Lclass ID:</translation>
    </message>
    <message>
        <source>Lclass name:</source>
        <translation>Lclass 名:</translation>
    </message>
    <message>
        <source>Lelementname:</source>
        <translation>L要素名:</translation>
    </message>
    <message>
        <source>elementname:</source>
        <translation>要素名:</translation>
    </message>
    <message>
        <source>[instance Sclass]</source>
        <translation>[インスタンス Sclass]</translation>
    </message>
    <message>
        <source>Sclass ID:</source>
        <translation>Sclass ID:</translation>
    </message>
    <message>
        <source>Sclass name:</source>
        <translation>Sclass 名:</translation>
    </message>
    <message>
        <source>Title(ID:</source>
        <translation>タイトル(ID:</translation>
    </message>
    <message>
        <source>Target Instance ID:</source>
        <translation>対象インスタンスID:</translation>
    </message>
    <message>
        <source> Status:</source>
        <translation> 状態:</translation>
    </message>
    <message>
        <source>ID:</source>
        <translation>ID:</translation>
    </message>
    <message>
        <source>[conts]</source>
        <translation>[内容]</translation>
    </message>
    <message>
        <source>Text not saved</source>
        <translation>テキストを保存しませんでした</translation>
    </message>
    <message>
        <source>%1
The text was not saved; it stays in the editor.</source>
        <translation>%1
テキストは保存しませんでした。エディタに残っています。</translation>
    </message>
</context>
<context>
    <name>ToUserDialog</name>
    <message>
        <source>UserList</source>
        <translation>ユーザ一覧</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>CANCEL</source>
        <translation>キャンセル</translation>
    </message>
</context>
<context>
    <name>OutputWidget</name>
    <message>
        <source>NONE</source>
        <translation>なし</translation>
    </message>
    <message>
        <source>Form</source>
        <translation>フォーム</translation>
    </message>
    <message>
        <source>Tab 1</source>
        <translation>タブ 1</translation>
    </message>
    <message>
        <source>Tab 2</source>
        <translation>タブ 2</translation>
    </message>
</context>
<context>
    <name>OutMenuDiag</name>
    <message>
        <source>Output</source>
        <translation>出力</translation>
    </message>
    <message>
        <source>User</source>
        <translation>ユーザー</translation>
    </message>
    <message>
        <source>Reload</source>
        <translation>再読込</translation>
    </message>
    <message>
        <source>out Dir</source>
        <translation>出力先</translation>
    </message>
    <message>
        <source>Ref</source>
        <translation>参照</translation>
    </message>
    <message>
        <source>Select</source>
        <translation>選択</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>クリア</translation>
    </message>
    <message>
        <source>output</source>
        <translation>出力</translation>
    </message>
    <message>
        <source>reference output</source>
        <translation>参照出力</translation>
    </message>
    <message>
        <source>definition output</source>
        <translation>定義出力</translation>
    </message>
    <message>
        <source>extension</source>
        <translation>拡張子</translation>
    </message>
    <message>
        <source>expansion</source>
        <translation>展開</translation>
    </message>
    <message>
        <source>Reference Output</source>
        <translation>参照出力</translation>
    </message>
    <message>
        <source>Definition Output</source>
        <translation>定義出力</translation>
    </message>
    <message>
        <source>Duplicate</source>
        <translation>重複</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>キャンセル</translation>
    </message>
    <message>
        <source>Parameter save</source>
        <translation>設定保存</translation>
    </message>
    <message>
        <source>Lclass</source>
        <translation>大クラス</translation>
    </message>
    <message>
        <source>SClass</source>
        <translation>小クラス</translation>
    </message>
    <message>
        <source>Value</source>
        <translation>値</translation>
    </message>
    <message>
        <source>ID</source>
        <translation>ID</translation>
    </message>
    <message>
        <source>Filename</source>
        <translation>ファイル名</translation>
    </message>
    <message>
        <source>FileIdentifier</source>
        <translation>ファイル識別子</translation>
    </message>
    <message>
        <source>Global</source>
        <translation>グローバル</translation>
    </message>
    <message>
        <source>Global + Local(</source>
        <translation>グローバル + ローカル(</translation>
    </message>
    <message>
        <source>)</source>
        <translation>)</translation>
    </message>
    <message>
        <source>Output Directory</source>
        <translation>出力ディレクトリ</translation>
    </message>
    <message>
        <source>reference output directory is not selected</source>
        <translation>参照出力ディレクトリが選択されていません</translation>
    </message>
    <message>
        <source>reference output directory is not exist</source>
        <translation>参照出力ディレクトリが存在しません</translation>
    </message>
    <message>
        <source>pattern output directory is not selected</source>
        <translation>定義出力ディレクトリが選択されていません</translation>
    </message>
    <message>
        <source>pattern output directory is not exist</source>
        <translation>定義出力ディレクトリが存在しません</translation>
    </message>
    <message>
        <source>both output is not checked</source>
        <translation>出力が選択されていません</translation>
    </message>
    <message>
        <source>file of output is not empty</source>
        <translation>出力するファイルがありません</translation>
    </message>
    <message>
        <source>output directory in %1 is not used: %2</source>
        <translation>%1 の出力ディレクトリは使いません: %2</translation>
    </message>
    <message>
        <source>TextLabel</source>
        <translation>TextLabel</translation>
    </message>
    <message>
        <source>output directory of %1 is not used: %2</source>
        <translation>%1 の出力ディレクトリは使いません: %2</translation>
    </message>
    <message>
        <source>Output File</source>
        <translation>ファイル出力</translation>
    </message>
    <message>
        <source>%1 was not read; it is kept as it is and the default selection is shown: %2</source>
        <translation>%1 は読み込まれませんでした。ファイルはそのまま残し、既定の選択を表示します: %2</translation>
    </message>
    <message>
        <source>File error</source>
        <translation>ファイルエラー</translation>
    </message>
</context>
<context>
    <name>FileOutProgress</name>
    <message>
        <source>file Output</source>
        <translation>ファイル出力</translation>
    </message>
    <message>
        <source>OverWrite</source>
        <translation>上書き</translation>
    </message>
    <message>
        <source>Skip</source>
        <translation>スキップ</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>キャンセル</translation>
    </message>
    <message>
        <source>File error</source>
        <translation>ファイルエラー</translation>
    </message>
    <message>
        <source>can not write file:%1</source>
        <translation>ファイルを書き込めません:%1</translation>
    </message>
    <message>
        <source>filename:</source>
        <translation>ファイル名:</translation>
    </message>
    <message>
        <source> is not found. skip or cancel?</source>
        <translation> が見つかりません。スキップしますか、キャンセルしますか?</translation>
    </message>
    <message>
        <source> is older than output file. overwrite, skip or cancel?</source>
        <translation> は出力先より古いファイルです。上書き、スキップ、キャンセルのどれにしますか?</translation>
    </message>
    <message>
        <source> can not be copy. skip or cancel?</source>
        <translation> をコピーできません。スキップしますか、キャンセルしますか?</translation>
    </message>
    <message>
        <source> leads outside its folder and is not copied. skip or cancel?</source>
        <translation> はフォルダの外を指すためコピーしません。スキップしますか、キャンセルしますか?</translation>
    </message>
    <message numerus="yes">
        <source>... and %n more file(s)</source>
        <translation>
            <numerusform>... ほかに %n 個のファイル</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>CreateInstance</name>
    <message>
        <source>Dialog</source>
        <translation>ダイアログ</translation>
    </message>
    <message>
        <source>Lclass</source>
        <translation>大分類</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>名前</translation>
    </message>
    <message>
        <source>Element</source>
        <translation>要素</translation>
    </message>
    <message>
        <source>Scope</source>
        <translation>スコープ</translation>
    </message>
    <message>
        <source>Sclass</source>
        <translation>小分類</translation>
    </message>
    <message>
        <source>Msg</source>
        <translation>メッセージ</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>CANCEL</source>
        <translation>キャンセル</translation>
    </message>
    <message>
        <source>Add Lclass Instance</source>
        <translation>大分類インスタンスの追加</translation>
    </message>
    <message>
        <source>Add Sclass Instance</source>
        <translation>小分類インスタンスの追加</translation>
    </message>
    <message>
        <source>Delete Lclass Instance</source>
        <translation>大分類インスタンスの削除</translation>
    </message>
    <message>
        <source>Delete Sclass Instance</source>
        <translation>小分類インスタンスの削除</translation>
    </message>
    <message>
        <source>del</source>
        <translation>削除</translation>
    </message>
    <message>
        <source>add</source>
        <translation>追加</translation>
    </message>
    <message>
        <source>Delete Sclass</source>
        <translation>小分類の削除</translation>
    </message>
    <message>
        <source>Delete Lclass</source>
        <translation>大分類の削除</translation>
    </message>
    <message>
        <source>Do you want to delete current Sclass?</source>
        <translation>現在の小分類を削除しますか?</translation>
    </message>
    <message>
        <source>Do you want to delete current Lclass?</source>
        <translation>現在の大分類を削除しますか?</translation>
    </message>
    <message>
        <source>yes</source>
        <translation>はい</translation>
    </message>
    <message>
        <source>no</source>
        <translation>いいえ</translation>
    </message>
    <message>
        <source>Element name of Sclass is not set</source>
        <translation>小分類の要素名が設定されていません</translation>
    </message>
    <message>
        <source>Element name of Lclass is not set</source>
        <translation>大分類の要素名が設定されていません</translation>
    </message>
</context>
<context>
    <name>InstanceLclass</name>
    <message>
        <source>Form</source>
        <translation>フォーム</translation>
    </message>
    <message>
        <source>LClass Name</source>
        <translation>大分類名</translation>
    </message>
    <message>
        <source>Start Date</source>
        <translation>開始日</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>日付</translation>
    </message>
    <message>
        <source>Element Name</source>
        <translation>要素名</translation>
    </message>
    <message>
        <source>Target Date</source>
        <translation>目標日</translation>
    </message>
    <message>
        <source>Completion Date</source>
        <translation>完了日</translation>
    </message>
    <message>
        <source>SClass</source>
        <translation>小分類</translation>
    </message>
    <message>
        <source>Element</source>
        <translation>要素</translation>
    </message>
    <message>
        <source>Property</source>
        <translation>プロパティ</translation>
    </message>
    <message>
        <source>Value</source>
        <translation>値</translation>
    </message>
    <message>
        <source>Explanation</source>
        <translation>説明</translation>
    </message>
    <message>
        <source>Tab 2</source>
        <translation>タブ 2</translation>
    </message>
    <message>
        <source>OUTVAR NAME</source>
        <translation>出力変数名</translation>
    </message>
    <message>
        <source>lclass explain</source>
        <translation>大分類の説明</translation>
    </message>
</context>
<context>
    <name>InstanceSclass</name>
    <message>
        <source>Form</source>
        <translation>フォーム</translation>
    </message>
    <message>
        <source>LClass Name  </source>
        <translation>大分類名  </translation>
    </message>
    <message>
        <source>lclass name</source>
        <translation>大分類名</translation>
    </message>
    <message>
        <source>LElement Name</source>
        <translation>大分類要素名</translation>
    </message>
    <message>
        <source>lclass element</source>
        <translation>大分類要素</translation>
    </message>
    <message>
        <source>SClass Name</source>
        <translation>小分類名</translation>
    </message>
    <message>
        <source>Start Date</source>
        <translation>開始日</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>日付</translation>
    </message>
    <message>
        <source>SElement Name</source>
        <translation>小分類要素名</translation>
    </message>
    <message>
        <source>Target Date</source>
        <translation>目標日</translation>
    </message>
    <message>
        <source>Completion Date</source>
        <translation>完了日</translation>
    </message>
    <message>
        <source>Param</source>
        <translation>パラメータ</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>名前</translation>
    </message>
    <message>
        <source>Property</source>
        <translation>プロパティ</translation>
    </message>
    <message>
        <source>Value</source>
        <translation>値</translation>
    </message>
    <message>
        <source>Explanation</source>
        <translation>説明</translation>
    </message>
    <message>
        <source>Param Attribute</source>
        <translation>パラメータ属性</translation>
    </message>
    <message>
        <source>Pexp</source>
        <translation>パラメータ説明</translation>
    </message>
    <message>
        <source>Tab 2</source>
        <translation>タブ 2</translation>
    </message>
    <message>
        <source>OUTVAR NAME</source>
        <translation>出力変数名</translation>
    </message>
    <message>
        <source>NONE</source>
        <translation>なし</translation>
    </message>
    <message>
        <source>State Name</source>
        <translation>状態名</translation>
    </message>
    <message>
        <source>state id</source>
        <translation>状態ID</translation>
    </message>
    <message>
        <source>sclass explain</source>
        <translation>小分類の説明</translation>
    </message>
    <message>
        <source>Param Attribute:</source>
        <translation>パラメータ属性:</translation>
    </message>
    <message>
        <source>el_name:</source>
        <translation>要素名:</translation>
    </message>
    <message>
        <source>param explain</source>
        <translation>パラメータの説明</translation>
    </message>
</context>
<context>
    <name>Redmine</name>
    <message>
        <source>Pelmorine</source>
        <translation>Pelmorine</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>戻る</translation>
    </message>
    <message>
        <source>project info</source>
        <translation>プロジェクト情報</translation>
    </message>
    <message>
        <source>update issue</source>
        <translation>チケット更新</translation>
    </message>
    <message>
        <source>issue</source>
        <translation>チケット</translation>
    </message>
</context>
<context>
    <name>RedmineProject</name>
    <message>
        <source>Under Process</source>
        <translation>処理中</translation>
    </message>
    <message>
        <source>project is new. select new or reference</source>
        <translation>プロジェクトは新規です。新規か参照を選んでください</translation>
    </message>
    <message>
        <source>ident is empty</source>
        <translation>識別子が空です</translation>
    </message>
    <message>
        <source>length is over 100 word</source>
        <translation>長さが100文字を超えています</translation>
    </message>
    <message>
        <source>2byte code is in this text</source>
        <translation>2バイト文字が含まれています</translation>
    </message>
    <message>
        <source>first charactor is not alphabet</source>
        <translation>先頭の文字が英字ではありません</translation>
    </message>
    <message>
        <source>first charactor is not lower</source>
        <translation>先頭の文字が小文字ではありません</translation>
    </message>
    <message>
        <source>th. this charactor is not correct</source>
        <translation>文字目が正しくありません</translation>
    </message>
    <message>
        <source>th. this charactor is upper</source>
        <translation>文字目が大文字です</translation>
    </message>
    <message>
        <source>cancel</source>
        <translation>キャンセル</translation>
    </message>
    <message>
        <source>confirmation</source>
        <translation>確認</translation>
    </message>
    <message>
        <source>del</source>
        <translation>削除</translation>
    </message>
    <message>
        <source>Create Redmine Project?</source>
        <translation>Redmineプロジェクトを作成しますか?</translation>
    </message>
    <message>
        <source>Set refferenced Redmine Project?</source>
        <translation>参照したRedmineプロジェクトを設定しますか?</translation>
    </message>
    <message>
        <source>public check or explain is update. Update?</source>
        <translation>公開設定または説明が変更されています。更新しますか?</translation>
    </message>
    <message>
        <source>Already set Redmine Project ID, Update</source>
        <translation>RedmineプロジェクトIDは設定済みです。更新</translation>
    </message>
    <message>
        <source>Redmine project is set at Pelmorine</source>
        <translation>RedmineプロジェクトをPelmorineに設定しました</translation>
    </message>
    <message>
        <source>closed</source>
        <translation>完了</translation>
    </message>
    <message>
        <source>project is set</source>
        <translation>プロジェクトを設定しました</translation>
    </message>
    <message>
        <source>default</source>
        <translation>既定</translation>
    </message>
    <message>
        <source>could not change description</source>
        <translation>説明を変更できませんでした</translation>
    </message>
    <message>
        <source>modify is completed</source>
        <translation>変更が完了しました</translation>
    </message>
    <message>
        <source>system</source>
        <translation>システム</translation>
    </message>
    <message>
        <source>developer</source>
        <translation>開発者</translation>
    </message>
    <message>
        <source>contributor</source>
        <translation>報告者</translation>
    </message>
    <message>
        <source>open</source>
        <translation>進行中</translation>
    </message>
    <message>
        <source>locked</source>
        <translation>ロック中</translation>
    </message>
    <message>
        <source>none</source>
        <translation>共有しない</translation>
    </message>
    <message>
        <source>descendants</source>
        <translation>サブプロジェクト</translation>
    </message>
    <message>
        <source>hierarchy</source>
        <translation>プロジェクト階層</translation>
    </message>
    <message>
        <source>tree</source>
        <translation>プロジェクトツリー</translation>
    </message>
    <message>
        <source>Allsystem</source>
        <translation>全プロジェクト</translation>
    </message>
    <message>
        <source>register</source>
        <translation>登録</translation>
    </message>
    <message>
        <source>update</source>
        <translation>更新</translation>
    </message>
    <message>
        <source>Ref</source>
        <translation>参照</translation>
    </message>
    <message>
        <source>New</source>
        <translation>新規</translation>
    </message>
    <message>
        <source>project name</source>
        <translation>プロジェクト名</translation>
    </message>
    <message>
        <source>ID</source>
        <translation>ID</translation>
    </message>
    <message>
        <source>iidentifier</source>
        <translation>識別子</translation>
    </message>
    <message>
        <source>alphabet</source>
        <translation>英字</translation>
    </message>
    <message>
        <source>public</source>
        <translation>公開</translation>
    </message>
    <message>
        <source>URL</source>
        <translation>URL</translation>
    </message>
    <message>
        <source>Explain</source>
        <translation>説明</translation>
    </message>
    <message>
        <source>First Name</source>
        <translation>名</translation>
    </message>
    <message>
        <source>Last Name</source>
        <translation>姓</translation>
    </message>
    <message>
        <source>Role</source>
        <translation>ロール</translation>
    </message>
    <message>
        <source>Member ID</source>
        <translation>メンバーID</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>追加</translation>
    </message>
    <message>
        <source>MOD</source>
        <translation>変更</translation>
    </message>
    <message>
        <source>DEL</source>
        <translation>削除</translation>
    </message>
    <message>
        <source>Type</source>
        <translation>種別</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>名前</translation>
    </message>
    <message>
        <source>Email</source>
        <translation>メール</translation>
    </message>
    <message>
        <source>Redmine ID</source>
        <translation>Redmine ID</translation>
    </message>
    <message>
        <source>category name</source>
        <translation>カテゴリ名</translation>
    </message>
    <message>
        <source>Tracker name</source>
        <translation>トラッカー名</translation>
    </message>
    <message>
        <source>New State Name</source>
        <translation>初期ステータス名</translation>
    </message>
    <message>
        <source>Version name</source>
        <translation>バージョン名</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>ステータス</translation>
    </message>
    <message>
        <source>Share</source>
        <translation>共有</translation>
    </message>
    <message>
        <source>priority name</source>
        <translation>優先度名</translation>
    </message>
    <message>
        <source>Status name</source>
        <translation>ステータス名</translation>
    </message>
    <message>
        <source>Close ticket</source>
        <translation>終了チケット</translation>
    </message>
    <message>
        <source>Version</source>
        <translation>バージョン</translation>
    </message>
    <message>
        <source>version Add</source>
        <translation>バージョン追加</translation>
    </message>
    <message>
        <source>Category</source>
        <translation>カテゴリ</translation>
    </message>
    <message>
        <source>category Add</source>
        <translation>カテゴリ追加</translation>
    </message>
    <message>
        <source>Redmine member</source>
        <translation>Redmineメンバー</translation>
    </message>
    <message>
        <source>Pelmorine member</source>
        <translation>Pelmorineメンバー</translation>
    </message>
    <message>
        <source>Tracker</source>
        <translation>トラッカー</translation>
    </message>
    <message>
        <source>Priority</source>
        <translation>優先度</translation>
    </message>
    <message>
        <source>not ID</source>
        <translation>IDなし</translation>
    </message>
    <message>
        <source>not register</source>
        <translation>未登録</translation>
    </message>
    <message>
        <source>registered</source>
        <translation>登録済み</translation>
    </message>
    <message>
        <source>modify or del is only none</source>
        <translation>変更と削除は共有しないバージョンだけです</translation>
    </message>
    <message>
        <source>(no answer: the tracker may have done it, check it before sending again)</source>
        <translation>（応答なし: トラッカーでは処理済みの可能性があります。再送信の前に確認してください）</translation>
    </message>
</context>
<context>
    <name>RedmineIssue</name>
    <message>
        <source>total</source>
        <translation>合計</translation>
    </message>
    <message>
        <source>cunder work</source>
        <translation>作業中</translation>
    </message>
    <message>
        <source>complete</source>
        <translation>完了</translation>
    </message>
    <message>
        <source>SHOW</source>
        <translation>表示</translation>
    </message>
    <message>
        <source>ID</source>
        <translation>ID</translation>
    </message>
    <message>
        <source>ticket</source>
        <translation>チケット</translation>
    </message>
    <message>
        <source>assigned</source>
        <translation>担当者</translation>
    </message>
    <message>
        <source>subject</source>
        <translation>題名</translation>
    </message>
    <message>
        <source>description</source>
        <translation>説明</translation>
    </message>
    <message>
        <source>start_date</source>
        <translation>開始日</translation>
    </message>
    <message>
        <source>due_date</source>
        <translation>期日</translation>
    </message>
    <message>
        <source>done_ratio</source>
        <translation>進捗率</translation>
    </message>
    <message>
        <source>estimated_hours</source>
        <translation>予定工数</translation>
    </message>
    <message>
        <source>tracker</source>
        <translation>トラッカー</translation>
    </message>
    <message>
        <source>status</source>
        <translation>ステータス</translation>
    </message>
    <message>
        <source>priority</source>
        <translation>優先度</translation>
    </message>
    <message>
        <source>category</source>
        <translation>カテゴリ</translation>
    </message>
    <message>
        <source>fixed_version</source>
        <translation>対象バージョン</translation>
    </message>
    <message>
        <source>Pelmorine Instance ID</source>
        <translation>PelmorineインスタンスID</translation>
    </message>
    <message>
        <source>Under Process</source>
        <translation>処理中</translation>
    </message>
    <message>
        <source>processing(1-</source>
        <translation>処理中(1-</translation>
    </message>
    <message>
        <source>close ticket</source>
        <translation>終了チケット</translation>
    </message>
    <message>
        <source>under ticket</source>
        <translation>作業中チケット</translation>
    </message>
    <message>
        <source>processing(</source>
        <translation>処理中(</translation>
    </message>
    <message>
        <source>processed count:</source>
        <translation>処理件数:</translation>
    </message>
    <message>
        <source>nums</source>
        <translation>件</translation>
    </message>
    <message>
        <source>ken</source>
        <translation>件</translation>
    </message>
    <message>
        <source>Redmine project is not set</source>
        <translation>Redmineプロジェクトが設定されていません</translation>
    </message>
</context>
<context>
    <name>RedmineRefProject</name>
    <message>
        <source>project name</source>
        <translation>プロジェクト名</translation>
    </message>
    <message>
        <source>ID</source>
        <translation>ID</translation>
    </message>
    <message>
        <source>SET</source>
        <translation>設定</translation>
    </message>
    <message>
        <source>CANCEL</source>
        <translation>キャンセル</translation>
    </message>
    <message>
        <source>project is empty</source>
        <translation>プロジェクトがありません</translation>
    </message>
    <message>
        <source>project is not selected</source>
        <translation>プロジェクトが選択されていません</translation>
    </message>
    <message>
        <source>Under Process</source>
        <translation>処理中</translation>
    </message>
</context>
<context>
    <name>RUsers</name>
    <message>
        <source>search type</source>
        <translation>検索種別</translation>
    </message>
    <message>
        <source>group</source>
        <translation>グループ</translation>
    </message>
    <message>
        <source>Name(fName or Lname or mail addr)</source>
        <translation>名前(名・姓・メールアドレス)</translation>
    </message>
    <message>
        <source>Search Name</source>
        <translation>検索名</translation>
    </message>
    <message>
        <source>SEARCH</source>
        <translation>検索</translation>
    </message>
    <message>
        <source>First Name</source>
        <translation>名</translation>
    </message>
    <message>
        <source>Last Name</source>
        <translation>姓</translation>
    </message>
    <message>
        <source>ID</source>
        <translation>ID</translation>
    </message>
    <message>
        <source>SET</source>
        <translation>設定</translation>
    </message>
    <message>
        <source>CANCEL</source>
        <translation>キャンセル</translation>
    </message>
    <message>
        <source>group name</source>
        <translation>グループ名</translation>
    </message>
    <message>
        <source>group is not set</source>
        <translation>グループがありません</translation>
    </message>
    <message>
        <source>user name</source>
        <translation>ユーザー名</translation>
    </message>
    <message>
        <source>Under Process</source>
        <translation>処理中</translation>
    </message>
    <message>
        <source>set Name</source>
        <translation>名前を入力してください</translation>
    </message>
    <message>
        <source>gour name is not selected</source>
        <translation>グループが選択されていません</translation>
    </message>
</context>
<context>
    <name>RedmineExp</name>
    <message>
        <source>CANCEL</source>
        <translation>キャンセル</translation>
    </message>
</context>
<context>
    <name>AddMembership</name>
    <message>
        <source>Name</source>
        <translation>名前</translation>
    </message>
    <message>
        <source>ID</source>
        <translation>ID</translation>
    </message>
    <message>
        <source>,memberID</source>
        <translation>,メンバーID</translation>
    </message>
    <message>
        <source>Role name</source>
        <translation>ロール名</translation>
    </message>
    <message>
        <source>Role</source>
        <translation>ロール</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>追加</translation>
    </message>
    <message>
        <source>CANCEL</source>
        <translation>キャンセル</translation>
    </message>
    <message>
        <source>Add membership</source>
        <translation>メンバー追加</translation>
    </message>
    <message>
        <source>Mod membership</source>
        <translation>メンバー変更</translation>
    </message>
    <message>
        <source>Del membership</source>
        <translation>メンバー削除</translation>
    </message>
    <message>
        <source>you must select one role</source>
        <translation>ロールを一つ以上選んでください</translation>
    </message>
    <message>
        <source>selected role is not change</source>
        <translation>選択したロールは変わっていません</translation>
    </message>
    <message>
        <source>Is delete member from project?</source>
        <translation>プロジェクトからメンバーを削除しますか?</translation>
    </message>
    <message>
        <source>Under Process</source>
        <translation>処理中</translation>
    </message>
</context>
<context>
    <name>RedmineAddCategory</name>
    <message>
        <source>Category</source>
        <translation>カテゴリ</translation>
    </message>
    <message>
        <source>ID</source>
        <translation>ID</translation>
    </message>
    <message>
        <source>DEL</source>
        <translation>削除</translation>
    </message>
    <message>
        <source>SET</source>
        <translation>設定</translation>
    </message>
    <message>
        <source>CANCEL</source>
        <translation>キャンセル</translation>
    </message>
    <message>
        <source>new set</source>
        <translation>新規設定</translation>
    </message>
    <message>
        <source>update</source>
        <translation>更新</translation>
    </message>
    <message>
        <source>project is not set</source>
        <translation>プロジェクトが設定されていません</translation>
    </message>
    <message>
        <source>category is not set</source>
        <translation>カテゴリが入力されていません</translation>
    </message>
    <message>
        <source>category is not changed</source>
        <translation>カテゴリは変更されていません</translation>
    </message>
    <message>
        <source>save category name exist</source>
        <translation>同じ名前のカテゴリがあります</translation>
    </message>
    <message>
        <source>Is delete category?</source>
        <translation>カテゴリを削除しますか?</translation>
    </message>
</context>
<context>
    <name>RedmineAddVersion</name>
    <message>
        <source>ID</source>
        <translation>ID</translation>
    </message>
    <message>
        <source>Version</source>
        <translation>バージョン</translation>
    </message>
    <message>
        <source>Explain</source>
        <translation>説明</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>ステータス</translation>
    </message>
    <message>
        <source>Share</source>
        <translation>共有</translation>
    </message>
    <message>
        <source>DEL</source>
        <translation>削除</translation>
    </message>
    <message>
        <source>SET</source>
        <translation>設定</translation>
    </message>
    <message>
        <source>CANCEL</source>
        <translation>キャンセル</translation>
    </message>
    <message>
        <source>update</source>
        <translation>更新</translation>
    </message>
    <message>
        <source>new set</source>
        <translation>新規設定</translation>
    </message>
    <message>
        <source>version name or description is not modify</source>
        <translation>バージョン名も説明も変更されていません</translation>
    </message>
    <message>
        <source>project is not set</source>
        <translation>プロジェクトが設定されていません</translation>
    </message>
    <message>
        <source>version is not set</source>
        <translation>バージョンが入力されていません</translation>
    </message>
    <message>
        <source>save version name exist</source>
        <translation>同じ名前のバージョンがあります</translation>
    </message>
    <message>
        <source>Is delete version?</source>
        <translation>バージョンを削除しますか?</translation>
    </message>
    <message>
        <source>Tab 1</source>
        <translation>タブ 1</translation>
    </message>
    <message>
        <source>Tab 2</source>
        <translation>タブ 2</translation>
    </message>
</context>
<context>
    <name>MemberMail</name>
    <message>
        <source>User</source>
        <translation>ユーザ</translation>
    </message>
    <message>
        <source>Account</source>
        <translation>アカウント</translation>
    </message>
    <message>
        <source>No</source>
        <translation>No</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>日付</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>時刻</translation>
    </message>
    <message>
        <source>Result</source>
        <translation>結果</translation>
    </message>
    <message>
        <source>Title</source>
        <translation>タイトル</translation>
    </message>
    <message>
        <source>New</source>
        <translation>新規</translation>
    </message>
    <message>
        <source>Send</source>
        <translation>送信</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>削除</translation>
    </message>
    <message>
        <source>NoSendSave</source>
        <translation>送信せず保存</translation>
    </message>
    <message>
        <source>ALL member</source>
        <translation>全メンバー</translation>
    </message>
    <message>
        <source>sended</source>
        <translation>送信済</translation>
    </message>
    <message>
        <source>unsended</source>
        <translation>未送信</translation>
    </message>
    <message>
        <source>newhist</source>
        <translation>新規</translation>
    </message>
    <message>
        <source>SMTP is not connect. Check Option Mail</source>
        <translation>SMTPに接続できません。オプションのメール設定を確認してください</translation>
    </message>
    <message>
        <source>new mail is set contents and send ,or save, or delete</source>
        <translation>新しいメールの内容を書いて、送信、保存、削除のいずれかを行ってください</translation>
    </message>
    <message>
        <source>contents is empty</source>
        <translation>内容が空です</translation>
    </message>
    <message>
        <source>Send user is not selected</source>
        <translation>送信先が選ばれていません</translation>
    </message>
    <message>
        <source>Send user is not proc email address</source>
        <translation>送信先に処理用メールアドレスがありません</translation>
    </message>
    <message>
        <source>mr. have a email message</source>
        <translation>さんからメールがあります</translation>
    </message>
    <message>
        <source>[message]</source>
        <translation>[メッセージ]</translation>
    </message>
    <message>
        <source>message number[</source>
        <translation>メッセージ番号[</translation>
    </message>
    <message>
        <source>Date:</source>
        <translation>日時:</translation>
    </message>
    <message>
        <source>title:</source>
        <translation>タイトル:</translation>
    </message>
    <message>
        <source>--------- </source>
        <translation>--------- </translation>
    </message>
    <message>
        <source>contents</source>
        <translation>内容</translation>
    </message>
    <message>
        <source>----------</source>
        <translation>----------</translation>
    </message>
    <message>
        <source>Delete mail</source>
        <translation>メール削除</translation>
    </message>
    <message>
        <source>Do you want to delete this mail?</source>
        <translation>このメールを削除しますか?</translation>
    </message>
    <message>
        <source>yes</source>
        <translation>はい</translation>
    </message>
    <message>
        <source>no</source>
        <translation>いいえ</translation>
    </message>
    <message>
        <source>The mail was not saved: %1. It stays in the editor.</source>
        <translation>メールを保存しませんでした: %1。エディタに残っています。</translation>
    </message>
</context>
<context>
    <name>MailTitle</name>
    <message>
        <source>Title</source>
        <translation>タイトル</translation>
    </message>
    <message>
        <source>NEW</source>
        <translation>新規</translation>
    </message>
    <message>
        <source>CANCEL</source>
        <translation>キャンセル</translation>
    </message>
    <message>
        <source>MOD</source>
        <translation>変更</translation>
    </message>
    <message>
        <source>NEW MAIL</source>
        <translation>新しいメール</translation>
    </message>
    <message>
        <source>MOD TITLE</source>
        <translation>タイトル変更</translation>
    </message>
</context>
<context>
    <name>Schedule</name>
    <message>
        <source>Form</source>
        <translation>Form</translation>
    </message>
    <message>
        <source>Instance Schedule</source>
        <translation>インスタンススケジュール</translation>
    </message>
    <message>
        <source>out of range</source>
        <translation>表示範囲外</translation>
    </message>
    <message>
        <source>Tab 1</source>
        <translation>タブ 1</translation>
    </message>
    <message>
        <source>Tab 2</source>
        <translation>タブ 2</translation>
    </message>
</context>
<context>
    <name>ScheList</name>
    <message>
        <source>Form</source>
        <translation>Form</translation>
    </message>
    <message>
        <source>UserName</source>
        <translation>ユーザー名</translation>
    </message>
    <message>
        <source>LClass</source>
        <translation>大分類</translation>
    </message>
    <message>
        <source>SClass</source>
        <translation>小分類</translation>
    </message>
    <message>
        <source>Value</source>
        <translation>値</translation>
    </message>
    <message>
        <source>StartDate</source>
        <translation>開始日</translation>
    </message>
    <message>
        <source>TargetDate</source>
        <translation>目標日</translation>
    </message>
    <message>
        <source>CompletionDate</source>
        <translation>完了日</translation>
    </message>
    <message>
        <source>ProgressRate(%)</source>
        <translation>進捗率(%)</translation>
    </message>
    <message>
        <source>EstimatedHours</source>
        <translation>見積時間</translation>
    </message>
    <message>
        <source>ID</source>
        <translation>ID</translation>
    </message>
</context>
<context>
    <name>ScheduleTitle</name>
    <message>
        <source>Jan</source>
        <translation>1月</translation>
    </message>
    <message>
        <source>Feb</source>
        <translation>2月</translation>
    </message>
    <message>
        <source>Mar</source>
        <translation>3月</translation>
    </message>
    <message>
        <source>Apr</source>
        <translation>4月</translation>
    </message>
    <message>
        <source>May</source>
        <translation>5月</translation>
    </message>
    <message>
        <source>Jun</source>
        <translation>6月</translation>
    </message>
    <message>
        <source>Jul</source>
        <translation>7月</translation>
    </message>
    <message>
        <source>Aug</source>
        <translation>8月</translation>
    </message>
    <message>
        <source>Sep</source>
        <translation>9月</translation>
    </message>
    <message>
        <source>Oct</source>
        <translation>10月</translation>
    </message>
    <message>
        <source>Nov</source>
        <translation>11月</translation>
    </message>
    <message>
        <source>Dec</source>
        <translation>12月</translation>
    </message>
    <message>
        <source>User Name</source>
        <translation>ユーザー名</translation>
    </message>
    <message>
        <source> ID </source>
        <translation> ID </translation>
    </message>
</context>
<context>
    <name>StatusWidget</name>
    <message>
        <source>Form</source>
        <translation>Form</translation>
    </message>
    <message>
        <source>User</source>
        <translation>ユーザー</translation>
    </message>
    <message>
        <source>Insance State</source>
        <translation>インスタンス状態</translation>
    </message>
    <message>
        <source>InstID</source>
        <translation>InstID</translation>
    </message>
    <message>
        <source>Transition</source>
        <translation>遷移</translation>
    </message>
    <message>
        <source>State transition diagram</source>
        <translation>状態遷移図</translation>
    </message>
    <message>
        <source>Tab 1</source>
        <translation>タブ 1</translation>
    </message>
    <message>
        <source>Tab 2</source>
        <translation>タブ 2</translation>
    </message>
</context>
<context>
    <name>RedmineUpdateIssue</name>
    <message>
        <source>Form</source>
        <translation>フォーム</translation>
    </message>
    <message>
        <source>Update issue</source>
        <translation>チケット更新</translation>
    </message>
    <message>
        <source>target show</source>
        <translation>対象表示</translation>
    </message>
    <message>
        <source>total ticket</source>
        <translation>全チケット</translation>
    </message>
    <message>
        <source>new ticket</source>
        <translation>新規チケット</translation>
    </message>
    <message>
        <source>under work</source>
        <translation>作業中</translation>
    </message>
    <message>
        <source>Comple</source>
        <translation>完了</translation>
    </message>
    <message>
        <source>Del</source>
        <translation>削除</translation>
    </message>
    <message>
        <source>UPDATE</source>
        <translation>更新</translation>
    </message>
    <message>
        <source>check</source>
        <translation>チェック</translation>
    </message>
    <message>
        <source>type</source>
        <translation>種別</translation>
    </message>
    <message>
        <source>ID</source>
        <translation>ID</translation>
    </message>
    <message>
        <source>assigned</source>
        <translation>担当者</translation>
    </message>
    <message>
        <source>subject</source>
        <translation>題名</translation>
    </message>
    <message>
        <source>description</source>
        <translation>説明</translation>
    </message>
    <message>
        <source>start_date</source>
        <translation>開始日</translation>
    </message>
    <message>
        <source>due_date</source>
        <translation>期日</translation>
    </message>
    <message>
        <source>done_ratio</source>
        <translation>進捗率</translation>
    </message>
    <message>
        <source>estimated_hours</source>
        <translation>予定工数</translation>
    </message>
    <message>
        <source>tracker</source>
        <translation>トラッカー</translation>
    </message>
    <message>
        <source>status</source>
        <translation>ステータス</translation>
    </message>
    <message>
        <source>priority</source>
        <translation>優先度</translation>
    </message>
    <message>
        <source>category</source>
        <translation>カテゴリ</translation>
    </message>
    <message>
        <source>fixed_version</source>
        <translation>対象バージョン</translation>
    </message>
    <message>
        <source>Pelmorine Instance ID</source>
        <translation>PelmorineインスタンスID</translation>
    </message>
    <message>
        <source>Tracker</source>
        <translation>トラッカー</translation>
    </message>
    <message>
        <source>tracker name</source>
        <translation>トラッカー名</translation>
    </message>
    <message>
        <source>New State Name</source>
        <translation>初期ステータス名</translation>
    </message>
    <message>
        <source>Tab 2</source>
        <translation>タブ 2</translation>
    </message>
    <message>
        <source>Category</source>
        <translation>カテゴリ</translation>
    </message>
    <message>
        <source>category name</source>
        <translation>カテゴリ名</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>ステータス</translation>
    </message>
    <message>
        <source>status name</source>
        <translation>ステータス名</translation>
    </message>
    <message>
        <source>Close Ticket</source>
        <translation>終了チケット</translation>
    </message>
    <message>
        <source>Version</source>
        <translation>バージョン</translation>
    </message>
    <message>
        <source>version name</source>
        <translation>バージョン名</translation>
    </message>
    <message>
        <source>Share</source>
        <translation>共有</translation>
    </message>
    <message>
        <source>Priority</source>
        <translation>優先度</translation>
    </message>
    <message>
        <source>priority name</source>
        <translation>優先度名</translation>
    </message>
    <message>
        <source>default</source>
        <translation>既定</translation>
    </message>
    <message>
        <source>unset</source>
        <translation>未設定</translation>
    </message>
    <message>
        <source>None</source>
        <translation>なし</translation>
    </message>
    <message>
        <source>No field</source>
        <translation>未反映</translation>
    </message>
    <message>
        <source>READ_ONLY</source>
        <translation>読み取り専用</translation>
    </message>
    <message>
        <source>start date</source>
        <translation>開始日</translation>
    </message>
    <message>
        <source>due date</source>
        <translation>期日</translation>
    </message>
    <message>
        <source>done ratio</source>
        <translation>進捗率</translation>
    </message>
    <message>
        <source>hours</source>
        <translation>予定工数</translation>
    </message>
    <message>
        <source>version</source>
        <translation>バージョン</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>エラー</translation>
    </message>
    <message>
        <source>New Issue</source>
        <translation>新規チケット</translation>
    </message>
    <message>
        <source>Set Issue</source>
        <translation>チケット設定</translation>
    </message>
    <message>
        <source>Mod Issue</source>
        <translation>チケット変更</translation>
    </message>
    <message>
        <source>Close Issue</source>
        <translation>チケット終了</translation>
    </message>
    <message>
        <source>Delete Issue</source>
        <translation>チケット削除</translation>
    </message>
    <message>
        <source>SET</source>
        <translation>設定</translation>
    </message>
    <message>
        <source>Under Process</source>
        <translation>処理中</translation>
    </message>
    <message>
        <source>under process</source>
        <translation>処理中</translation>
    </message>
    <message>
        <source>too many issues in the project</source>
        <translation>プロジェクトのチケットが多すぎます</translation>
    </message>
    <message>
        <source>show end</source>
        <translation>表示が完了しました</translation>
    </message>
    <message>
        <source>ken</source>
        <translation>件</translation>
    </message>
    <message>
        <source>ticket is not selected</source>
        <translation>チケットが選択されていません</translation>
    </message>
    <message>
        <source>as nofield exist, you close and search item again</source>
        <translation>未反映の項目があります。対象表示で一覧を作り直してください</translation>
    </message>
    <message>
        <source>yes</source>
        <translation>はい</translation>
    </message>
    <message>
        <source>no</source>
        <translation>いいえ</translation>
    </message>
    <message>
        <source>Tracker batch process </source>
        <translation>トラッカー一括処理 </translation>
    </message>
    <message>
        <source>Do you want to change all tracker of none name?</source>
        <translation>トラッカーが「なし」のチケットをすべて変更しますか?</translation>
    </message>
    <message>
        <source>tracker name is same</source>
        <translation>トラッカー名が同じです</translation>
    </message>
    <message>
        <source>category name is same</source>
        <translation>カテゴリ名が同じです</translation>
    </message>
    <message>
        <source>version name is same</source>
        <translation>バージョン名が同じです</translation>
    </message>
    <message>
        <source>priority name is same</source>
        <translation>優先度名が同じです</translation>
    </message>
    <message>
        <source>Close ticket batch process </source>
        <translation>終了チケット一括処理 </translation>
    </message>
    <message>
        <source>Do you want to change all Status to closed ticket that progress rate is 100%?</source>
        <translation>進捗率が100%のチケットのステータスをすべて終了に変更しますか?</translation>
    </message>
    <message>
        <source>you must set tracker</source>
        <translation>トラッカーを設定してください</translation>
    </message>
    <message>
        <source>status of new ticket is not change</source>
        <translation>新規チケットのステータスは変更できません</translation>
    </message>
    <message>
        <source>status name is same</source>
        <translation>ステータス名が同じです</translation>
    </message>
    <message>
        <source>As progress ragte is 100%,you must select close ticket status</source>
        <translation>進捗率が100%のため、終了チケットのステータスを選択してください</translation>
    </message>
    <message>
        <source>warning:done_rate is not 100%</source>
        <translation>警告: 進捗率が100%ではありません</translation>
    </message>
    <message>
        <source>tracker name is not selected</source>
        <translation>トラッカー名が選択されていません</translation>
    </message>
    <message>
        <source>Status name is not selected</source>
        <translation>ステータス名が選択されていません</translation>
    </message>
    <message>
        <source>Priority name is not selected</source>
        <translation>優先度名が選択されていません</translation>
    </message>
    <message>
        <source>Category name is not selected</source>
        <translation>カテゴリ名が選択されていません</translation>
    </message>
    <message>
        <source>Version name is not selected</source>
        <translation>バージョン名が選択されていません</translation>
    </message>
    <message>
        <source>field:</source>
        <translation>項目:</translation>
    </message>
    <message>
        <source> is not checked for tracker</source>
        <translation> はトラッカーで有効になっていません</translation>
    </message>
    <message>
        <source>status is not workflow of tracker or not check</source>
        <translation>ステータスがトラッカーのワークフローにないか、チェックされていません</translation>
    </message>
    <message>
        <source>select tracker at new ticket</source>
        <translation>新規チケットではトラッカーを選択してください</translation>
    </message>
    <message>
        <source>done rate is 100. but status is not close</source>
        <translation>進捗率が100ですが、ステータスが終了になっていません</translation>
    </message>
    <message>
        <source>parent ticket is have no value. this value is Pelmorine&apos;s value</source>
        <translation>親チケットに値がありません。この値はPelmorineの値です</translation>
    </message>
    <message>
        <source>assigned name is not redmine group</source>
        <translation>担当者がRedmineのグループにいません</translation>
    </message>
    <message>
        <source>red term:</source>
        <translation>赤い項目:</translation>
    </message>
    <message>
        <source>is modify</source>
        <translation> を修正してください</translation>
    </message>
    <message>
        <source>confirmation</source>
        <translation>確認</translation>
    </message>
    <message>
        <source>%1 issue(s) will be deleted on the tracker. Do you want to delete them?</source>
        <translation>トラッカー上のチケット %1 件を削除します。よろしいですか?</translation>
    </message>
    <message>
        <source>Redmine process is end</source>
        <translation>Redmineの処理が終了しました</translation>
    </message>
    <message>
        <source>(no answer: the tracker may have done it, press target show before sending again)</source>
        <translation>（応答なし: トラッカーでは処理済みの可能性があります。再送信の前に target show を押してください）</translation>
    </message>
    <message>
        <source>press target show first: the tracker may hold an issue this list does not show</source>
        <translation>先に target show を押してください: この一覧にないチケットがトラッカーにある可能性があります</translation>
    </message>
    <message>
        <source>not deleted: the tracker did not show which sub-issues it would delete with it</source>
        <translation>削除しませんでした: 一緒に削除される子チケットをトラッカーが示しませんでした</translation>
    </message>
    <message>
        <source>not deleted: the tracker would delete its sub-issue(s) #%1 with it</source>
        <translation>削除しませんでした: トラッカーは子チケット #%1 も一緒に削除してしまいます</translation>
    </message>
    <message numerus="yes">
        <source>%n issue(s) not deleted: the tracker would delete sub-issues with them (click the row)</source>
        <translation>
            <numerusform>%n 件のチケットを削除しませんでした: 子チケットも一緒に削除されてしまいます（行をクリック）</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n issue(s) not deleted: the tracker did not show their sub-issues (click the row)</source>
        <translation>
            <numerusform>%n 件のチケットを削除しませんでした: トラッカーが子チケットを示しませんでした（行をクリック）</numerusform>
        </translation>
    </message>
    <message>
        <source>%1 was not created: its explanation was not read: %2</source>
        <translation>%1 は作成されませんでした: 説明が読み込めません: %2</translation>
    </message>
</context>
<context>
    <name>DecimalId</name>
    <message>
        <source>no ID is left: %1</source>
        <translation>使用できるIDが残っていません: %1</translation>
    </message>
</context>
<context>
    <name>XmlText</name>
    <message>
        <source>characters XML cannot hold were replaced: %1</source>
        <translation>XMLに保存できない文字を置き換えました: %1</translation>
    </message>
</context>
<context>
    <name>RedmineItemDiag</name>
    <message>
        <source>Under Process</source>
        <translation>処理中</translation>
    </message>
</context>
<context>
    <name>MemberFiles</name>
    <message numerus="yes">
        <source>manager.xml: %n more USER entries skipped</source>
        <translation>
            <numerusform>manager.xml: ほかに %n 件の USER を読み飛ばしました</numerusform>
        </translation>
    </message>
    <message>
        <source>: a name or address of more than %1 characters</source>
        <translation>: %1 文字を超える名前またはアドレス</translation>
    </message>
    <message>
        <source>%1 holds more than %2 characters: no name or address is that long</source>
        <translation>%1 は %2 文字を超えています: そこまで長い名前やアドレスはありません</translation>
    </message>
    <message>
        <source>no member number is left: members and their files in %1 use every number from 1 to %2</source>
        <translation>割り当てられるメンバー番号が残っていません: %1 のメンバーとそのファイルが 1 から %2 までのすべての番号を使っています</translation>
    </message>
    <message>
        <source>it can not be read</source>
        <translation>読み込めません</translation>
    </message>
    <message>
        <source>line %1, column %2: %3</source>
        <translation>%1 行 %2 列: %3</translation>
    </message>
    <message>
        <source>File error</source>
        <translation>ファイルエラー</translation>
    </message>
    <message>
        <source>%1 was not written: another program changed it since it was read, and it does not read again (%2). Your changes are kept.</source>
        <translation>%1 は書き込まれませんでした: 読み込んだ後に別のプログラムが変更し、読み直せません (%2)。変更内容は保持されています。</translation>
    </message>
</context>
<context>
    <name>SafeFile</name>
    <message>
        <source>a link</source>
        <translation>リンク</translation>
    </message>
    <message>
        <source>a folder</source>
        <translation>フォルダ</translation>
    </message>
    <message>
        <source>a named pipe</source>
        <translation>名前付きパイプ</translation>
    </message>
    <message>
        <source>a socket</source>
        <translation>ソケット</translation>
    </message>
    <message>
        <source>a device</source>
        <translation>デバイス</translation>
    </message>
    <message>
        <source>something else</source>
        <translation>その他のもの</translation>
    </message>
    <message>
        <source>%1 is %2, not a regular file: nothing was written there</source>
        <translation>%1 は%2であり、通常のファイルではありません: 何も書き込みませんでした</translation>
    </message>
    <message>
        <source>%1 is %2, not a regular file: it was not read</source>
        <translation>%1 は%2であり、通常のファイルではありません: 読み込みませんでした</translation>
    </message>
    <message>
        <source>%1 holds %2 MB, more than any workspace file needs (%3 MB): it was not read</source>
        <translation>%1 は %2 MB あり、ワークスペースのファイルに必要な大きさ (%3 MB) を超えています: 読み込みませんでした</translation>
    </message>
    <message>
        <source>Reason: %1</source>
        <translation>理由: %1</translation>
    </message>
    <message>
        <source>A folder on the way to %1 is a link: nothing was written there</source>
        <translation>%1 までの途中のフォルダがリンクです: 何も書き込みませんでした</translation>
    </message>
    <message>
        <source>%1 is read-only for you: nothing was written there</source>
        <translation>%1 はあなたには読み取り専用です: 何も書き込みませんでした</translation>
    </message>
    <message>
        <source>%1 changed on disk since it was read: it was not written over</source>
        <translation>%1 は読み込んだ後にディスク上で変更されました: 上書きしませんでした</translation>
    </message>
</context>
<context>
    <name>TextFiles</name>
    <message>
        <source>File error</source>
        <translation>ファイルエラー</translation>
    </message>
    <message>
        <source>%1 holds %2 lines, more than any text shown in an editor needs (%3): it was not read</source>
        <translation>%1 は %2 行あり、エディタに表示するテキストに必要な行数 (%3) を超えています: 読み込みませんでした</translation>
    </message>
    <message>
        <source>%1 was not read: it is not written over</source>
        <translation>%1 は読み込まれていません: 上書きしません</translation>
    </message>
    <message>
        <source>%1 holds bytes that are not UTF-8 text (from byte %2 on), as a text saved in another encoding (Shift_JIS, Latin-1, UTF-16) does: it was not read, and it is not written over</source>
        <translation>%1 には UTF-8 のテキストではないバイトがあります (%2 バイト目から)。別のエンコーディング (Shift_JIS, Latin-1, UTF-16) で保存されたテキストのようです: 読み込まず、上書きもしません</translation>
    </message>
    <message>
        <source>%1 was not saved: the text takes %2 bytes, more than a text read back in an editor may hold (%3); it stays in the editor</source>
        <translation>%1 は保存しませんでした: テキストが %2 バイトあり、エディタに読み戻せる上限 (%3) を超えています。エディタに残っています</translation>
    </message>
    <message>
        <source>%1 was not saved: the text holds a NUL character, which no text read back in an editor may hold; it stays in the editor</source>
        <translation>%1 は保存しませんでした: テキストにエディタに読み戻せない NUL 文字があります。エディタに残っています</translation>
    </message>
    <message>
        <source>%1 was not saved: the text holds %2 lines, more than a text read back in an editor may hold (%3); it stays in the editor</source>
        <translation>%1 は保存しませんでした: テキストが %2 行あり、エディタに読み戻せる上限 (%3) を超えています。エディタに残っています</translation>
    </message>
    <message>
        <source>can not write file:%1</source>
        <translation>ファイルに書き込めません:%1</translation>
    </message>
</context>
<context>
    <name>ThreadControl</name>
    <message>
        <source>File error</source>
        <translation>ファイルエラー</translation>
    </message>
</context>
<context>
    <name>OutputGenerator</name>
    <message>
        <source>output of %1 was stopped: it grows beyond %2 characters, %3 markers, loop passes and elements looked through, or %4 characters of templates read</source>
        <translation>%1 の出力を中止しました: %2 文字、%3 個のマーカー・ループ回数・参照した要素、または読み込んだテンプレート %4 文字を超えます</translation>
    </message>
    <message numerus="yes">
        <source>the output run was stopped at %1: its files together grow beyond %2 characters, %3 markers, loop passes and elements looked through, or %4 characters of templates read; %1 and the %n file(s) after it are not written</source>
        <translation>
            <numerusform>出力を %1 で中止しました: ファイルの合計が %2 文字、%3 個のマーカー・ループ回数・参照した要素、または読み込んだテンプレート %4 文字を超えます。%1 とそれ以降の %n 個のファイルは書き込まれません</numerusform>
        </translation>
    </message>
    <message>
        <source>the output run was stopped at %1: its files together grow beyond %2 characters, %3 markers, loop passes and elements looked through, or %4 characters of templates read; %1 is not written</source>
        <translation>出力を %1 で中止しました: ファイルの合計が %2 文字、%3 個のマーカー・ループ回数・参照した要素、または読み込んだテンプレート %4 文字を超えます。%1 は書き込まれません</translation>
    </message>
    <message>
        <source>%1 was not generated: %2</source>
        <translation>%1 は生成されませんでした: %2</translation>
    </message>
</context>
<context>
    <name>LongValue</name>
    <message>
        <source>%1... (%2 characters)</source>
        <translation>%1... (%2 文字)</translation>
    </message>
    <message>
        <source>the value of %1 holds %2 characters, more than any name, address or title anyone types</source>
        <translation>%1 の値は %2 文字あり、人が入力する名前・アドレス・タイトルの長さを超えています</translation>
    </message>
</context>
<context>
    <name>XmlInput</name>
    <message>
        <source>an XML declaration that does not end</source>
        <translation>終わりのない XML 宣言</translation>
    </message>
    <message>
        <source>an encoding declaration the parsers would read in two ways</source>
        <translation>パーサーによって読み方が異なるエンコーディング宣言</translation>
    </message>
    <message>
        <source>the encoding %1, which no workspace file is written in</source>
        <translation>エンコーディング %1 (ワークスペースのファイルには使われません)</translation>
    </message>
    <message>
        <source>the encoding %1 declared for bytes in %2</source>
        <translation>%2 のバイトに対して宣言されたエンコーディング %1</translation>
    </message>
    <message>
        <source>bytes that are not valid %1 (%2)</source>
        <translation>%1 として正しくないバイト (%2)</translation>
    </message>
    <message>
        <source>a character reference to no character</source>
        <translation>どの文字も指さない文字参照</translation>
    </message>
</context>
<context>
    <name>SettingsFile</name>
    <message>
        <source>File error</source>
        <translation>ファイルエラー</translation>
    </message>
    <message>
        <source>it can not be read</source>
        <translation>読み込めません</translation>
    </message>
    <message>
        <source>line %1, column %2: %3</source>
        <translation>%1 行 %2 列: %3</translation>
    </message>
    <message>
        <source>%1 was not written: another program changed it since it was read, and it does not read again (%2). Your changes are kept and go into it at the next save once it reads.</source>
        <translation>%1 は書き込まれませんでした: 読み込んだ後に他のプログラムが変更し、再び読み込めません (%2)。変更内容は残っており、読み込めるようになった後の次の保存で書き込まれます。</translation>
    </message>
</context>
</TS>
