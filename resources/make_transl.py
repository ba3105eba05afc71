#!/usr/bin/env python3
"""Writes transl.dt, the translation catalogue, from the table in this file.

    python3 resources/make_transl.py          # rewrites resources/transl.dt

The catalogue format: UTF-8, line 1 the number of languages N, then blocks of
N lines: the display names, the codes, and one block per English text (the
key, exactly as the program passes it to Translate) with its translations in
the column order of LANGUAGES. An empty translation means "not translated";
this table has none.

Rules the script enforces before writing anything:
- every text has a translation for every language, on one line;
- a translation holds the key's placeholders (%d, %s) in the same order, and
  no other '%' sequence ("%%", "%n", a lone "%") that the key lacks;
- "&" is written "&&" (a single one would become a keyboard mnemonic), except
  in the key of a caption of MNEMONIC_SCOPES, whose mnemonic the generator
  places in every translation (see "Keyboard mnemonics");
- no key appears twice;
- "Abort" differs from "Skip" and "Exit" in every language (mnemonic
  aside): the second button of the new-version dialog turns into Abort while
  the download runs, and its caption is all that tells the person so.

Terms follow each language's desktop: the Recycle Bin is the one the system
names (Papierkorb, Corbeille, Papelera de reciclaje, ...); "SHA-1", "CSV" and
"MB" stay as they are. Portuguese is written as in Brazil, Chinese in
simplified characters.
"""

import os
import re
import sys
import unicodedata

LANGUAGES = [
    ("en", "English"),
    ("ar", "العربية"),
    ("cn", "中文"),
    ("cs", "Čeština"),
    ("de", "Deutsch"),
    ("el", "Ελληνικά"),
    ("es", "Español"),
    ("fr", "Français"),
    ("hu", "Magyar"),
    ("it", "Italiano"),
    ("jp", "日本語"),
    ("kr", "한국어"),
    ("nl", "Nederlands"),
    ("pl", "Polski"),
    ("pt", "Português"),
    ("tr", "Türkçe"),
]

TEXTS = []


def T(key, **tr):
    TEXTS.append((key, tr))


def Like(key, other):
    """A caption that reads as the text other in every language (a menu item
    and a tab, say) but carries a keyboard mnemonic of its own."""
    TEXTS.append((key, dict(next(tr for k, tr in TEXTS if k == other))))


# --- Menus ------------------------------------------------------------------

T("&File", ar="ملف", cn="文件", cs="Soubor", de="Datei", el="Αρχείο", es="Archivo",
  fr="Fichier", hu="Fájl", it="File", jp="ファイル", kr="파일", nl="Bestand",
  pl="Plik", pt="Arquivo", tr="Dosya")
T("&Action", ar="إجراء", cn="操作", cs="Akce", de="Aktion", el="Ενέργεια", es="Acción",
  fr="Action", hu="Művelet", it="Azione", jp="操作", kr="작업", nl="Actie",
  pl="Akcja", pt="Ação", tr="Eylem")
T("&Edit", ar="تحرير", cn="编辑", cs="Úpravy", de="Bearbeiten", el="Επεξεργασία",
  es="Edición", fr="Édition", hu="Szerkesztés", it="Modifica", jp="編集", kr="편집",
  nl="Bewerken", pl="Edycja", pt="Editar", tr="Düzen")
T("&View", ar="عرض", cn="查看", cs="Zobrazit", de="Ansicht", el="Προβολή", es="Ver",
  fr="Affichage", hu="Nézet", it="Visualizza", jp="表示", kr="보기", nl="Beeld",
  pl="Widok", pt="Exibir", tr="Görünüm")
T("&Help", ar="تعليمات", cn="帮助", cs="Nápověda", de="Hilfe", el="Βοήθεια", es="Ayuda",
  fr="Aide", hu="Súgó", it="Aiuto", jp="ヘルプ", kr="도움말", nl="Help", pl="Pomoc",
  pt="Ajuda", tr="Yardım")
T("&Add Folder...", ar="إضافة مجلد...", cn="添加文件夹...", cs="Přidat složku...",
  de="Ordner hinzufügen...", el="Προσθήκη φακέλου...", es="Agregar carpeta...",
  fr="Ajouter un dossier...", hu="Mappa hozzáadása...", it="Aggiungi cartella...",
  jp="フォルダーの追加...", kr="폴더 추가...", nl="Map toevoegen...", pl="Dodaj folder...",
  pt="Adicionar pasta...", tr="Klasör ekle...")
T("Export F&ile Clones...", ar="تصدير الملفات المكررة...", cn="导出重复文件...",
  cs="Exportovat duplicitní soubory...", de="Doppelte Dateien exportieren...",
  el="Εξαγωγή διπλότυπων αρχείων...", es="Exportar archivos duplicados...",
  fr="Exporter les fichiers en double...", hu="Ismétlődő fájlok exportálása...",
  it="Esporta file duplicati...", jp="重複ファイルのエクスポート...", kr="중복 파일 내보내기...",
  nl="Dubbele bestanden exporteren...", pl="Eksportuj zduplikowane pliki...",
  pt="Exportar arquivos duplicados...", tr="Yinelenen dosyaları dışa aktar...")
T("Export Fo&lder Clones...", ar="تصدير المجلدات المكررة...", cn="导出重复文件夹...",
  cs="Exportovat duplicitní složky...", de="Doppelte Ordner exportieren...",
  el="Εξαγωγή διπλότυπων φακέλων...", es="Exportar carpetas duplicadas...",
  fr="Exporter les dossiers en double...", hu="Ismétlődő mappák exportálása...",
  it="Esporta cartelle duplicate...", jp="重複フォルダーのエクスポート...", kr="중복 폴더 내보내기...",
  nl="Dubbele mappen exporteren...", pl="Eksportuj zduplikowane foldery...",
  pt="Exportar pastas duplicadas...", tr="Yinelenen klasörleri dışa aktar...")
T("E&xit", ar="خروج", cn="退出", cs="Konec", de="Beenden", el="Έξοδος", es="Salir",
  fr="Quitter", hu="Kilépés", it="Esci", jp="終了", kr="끝내기", nl="Afsluiten",
  pl="Zakończ", pt="Sair", tr="Çıkış")
T("&Scan", ar="فحص", cn="扫描", cs="Prohledat", de="Scannen", el="Σάρωση", es="Examinar",
  fr="Analyser", hu="Átvizsgálás", it="Scansiona", jp="スキャン", kr="스캔", nl="Scannen",
  pl="Skanuj", pt="Verificar", tr="Tara")
T("S&top", ar="إيقاف", cn="停止", cs="Zastavit", de="Anhalten", el="Διακοπή", es="Detener",
  fr="Arrêter", hu="Leállítás", it="Interrompi", jp="停止", kr="중지", nl="Stoppen",
  pl="Zatrzymaj", pt="Parar", tr="Durdur")
T("&Remove Checked", ar="إزالة العناصر المؤشَّر عليها", cn="删除勾选项", cs="Odebrat zaškrtnuté",
  de="Markierte entfernen", el="Κατάργηση επιλεγμένων", es="Quitar marcados",
  fr="Supprimer les éléments cochés", hu="Bejelöltek eltávolítása", it="Rimuovi selezionati",
  jp="チェックした項目を削除", kr="선택한 항목 제거", nl="Aangevinkte verwijderen",
  pl="Usuń zaznaczone", pt="Remover marcados", tr="İşaretlileri kaldır")
T("Check all but one in &group", ar="تأشير الكل عدا واحد في كل مجموعة",
  cn="每组保留一个，勾选其余", cs="Zaškrtnout vše kromě jednoho ve skupině",
  de="Alle außer einem je Gruppe markieren", el="Επιλογή όλων εκτός από ένα ανά ομάδα",
  es="Marcar todos menos uno por grupo", fr="Tout cocher sauf un par groupe",
  hu="Csoportonként egy kivételével mind bejelölése", it="Seleziona tutti tranne uno per gruppo",
  jp="各グループで 1 つを残してすべてチェック", kr="그룹마다 하나만 남기고 모두 선택",
  nl="Alles behalve één per groep aanvinken", pl="Zaznacz wszystkie oprócz jednego w grupie",
  pt="Marcar todos, exceto um por grupo", tr="Grup başına biri hariç tümünü işaretle")
T("&Check All", ar="تأشير الكل", cn="全部勾选", cs="Zaškrtnout vše", de="Alle markieren",
  el="Επιλογή όλων", es="Marcar todo", fr="Tout cocher", hu="Az összes bejelölése",
  it="Seleziona tutto", jp="すべてチェック", kr="모두 선택", nl="Alles aanvinken",
  pl="Zaznacz wszystko", pt="Marcar todos", tr="Tümünü işaretle")
T("&Uncheck All", ar="إلغاء تأشير الكل", cn="全部取消勾选", cs="Zrušit zaškrtnutí všech",
  de="Alle Markierungen aufheben", el="Αποεπιλογή όλων", es="Desmarcar todo",
  fr="Tout décocher", hu="Az összes bejelölés törlése", it="Deseleziona tutto",
  jp="すべてのチェックを外す", kr="모두 선택 해제", nl="Alles uitvinken", pl="Odznacz wszystko",
  pt="Desmarcar todos", tr="Tüm işaretleri kaldır")
T("&Page", ar="الصفحة", cn="页面", cs="Stránka", de="Seite", el="Σελίδα", es="Página",
  fr="Page", hu="Lap", it="Pagina", jp="ページ", kr="페이지", nl="Pagina", pl="Strona",
  pt="Página", tr="Sayfa")
T("File Clones", ar="الملفات المكررة", cn="重复文件", cs="Duplicitní soubory",
  de="Doppelte Dateien", el="Διπλότυπα αρχεία", es="Archivos duplicados",
  fr="Fichiers en double", hu="Ismétlődő fájlok", it="File duplicati", jp="重複ファイル",
  kr="중복 파일", nl="Dubbele bestanden", pl="Zduplikowane pliki", pt="Arquivos duplicados",
  tr="Yinelenen dosyalar")
T("Folder Clones", ar="المجلدات المكررة", cn="重复文件夹", cs="Duplicitní složky",
  de="Doppelte Ordner", el="Διπλότυποι φάκελοι", es="Carpetas duplicadas",
  fr="Dossiers en double", hu="Ismétlődő mappák", it="Cartelle duplicate",
  jp="重複フォルダー", kr="중복 폴더", nl="Dubbele mappen", pl="Zduplikowane foldery",
  pt="Pastas duplicadas", tr="Yinelenen klasörler")
T("&Show Settings Panel", ar="إظهار لوحة الإعدادات", cn="显示设置面板",
  cs="Zobrazit panel nastavení", de="Einstellungsbereich anzeigen",
  el="Εμφάνιση πίνακα ρυθμίσεων", es="Mostrar panel de configuración",
  fr="Afficher le panneau des paramètres", hu="Beállítási panel megjelenítése",
  it="Mostra pannello impostazioni", jp="設定パネルを表示", kr="설정 패널 표시",
  nl="Instellingenpaneel weergeven", pl="Pokaż panel ustawień",
  pt="Mostrar painel de configurações", tr="Ayarlar panelini göster")
T("&Language", ar="اللغة", cn="语言", cs="Jazyk", de="Sprache", el="Γλώσσα", es="Idioma",
  fr="Langue", hu="Nyelv", it="Lingua", jp="言語", kr="언어", nl="Taal", pl="Język",
  pt="Idioma", tr="Dil")
T("&Tutorial", ar="دليل الاستخدام", cn="教程", cs="Návod", de="Anleitung",
  el="Οδηγός χρήσης", es="Tutorial", fr="Didacticiel", hu="Útmutató",
  it="Guida introduttiva", jp="チュートリアル", kr="사용 안내", nl="Handleiding",
  pl="Samouczek", pt="Tutorial", tr="Öğretici")
T("&Contact Us", ar="اتصل بنا", cn="联系我们", cs="Kontaktujte nás", de="Kontakt",
  el="Επικοινωνία", es="Contacto", fr="Nous contacter", hu="Kapcsolat", it="Contattaci",
  jp="お問い合わせ", kr="문의하기", nl="Contact", pl="Kontakt", pt="Fale conosco",
  tr="Bize ulaşın")
T("&Visit Website", ar="زيارة الموقع", cn="访问网站", cs="Navštívit web",
  de="Website besuchen", el="Επίσκεψη στον ιστότοπο", es="Visitar el sitio web",
  fr="Visiter le site web", hu="Weboldal megnyitása", it="Visita il sito web",
  jp="Web サイトへ", kr="웹사이트 방문", nl="Website bezoeken", pl="Odwiedź witrynę",
  pt="Visitar o site", tr="Web sitesini ziyaret et")
T("&About...", ar="حول...", cn="关于...", cs="O aplikaci...", de="Info...",
  el="Πληροφορίες...", es="Acerca de...", fr="À propos...", hu="Névjegy...",
  it="Informazioni...", jp="バージョン情報...", kr="정보...", nl="Info...",
  pl="O programie...", pt="Sobre...", tr="Hakkında...")

# --- Settings panel, buttons, lists -------------------------------------------

T("Folders &to scan:", ar="المجلدات المراد فحصها:", cn="要扫描的文件夹：",
  cs="Složky k prohledání:", de="Zu scannende Ordner:", el="Φάκελοι για σάρωση:",
  es="Carpetas que examinar:", fr="Dossiers à analyser :", hu="Átvizsgálandó mappák:",
  it="Cartelle da scansionare:", jp="スキャンするフォルダー:", kr="스캔할 폴더:",
  nl="Te scannen mappen:", pl="Foldery do skanowania:", pt="Pastas a verificar:",
  tr="Taranacak klasörler:")
T("Add f&older...", ar="إضافة مجلد...", cn="添加文件夹...", cs="Přidat složku...",
  de="Ordner hinzufügen...", el="Προσθήκη φακέλου...", es="Agregar carpeta...",
  fr="Ajouter un dossier...", hu="Mappa hozzáadása...", it="Aggiungi cartella...",
  jp="フォルダーの追加...", kr="폴더 추가...", nl="Map toevoegen...", pl="Dodaj folder...",
  pt="Adicionar pasta...", tr="Klasör ekle...")
T("&Remove Selected", ar="إزالة المحدد", cn="移除所选", cs="Odebrat vybranou",
  de="Auswahl entfernen", el="Κατάργηση επιλογής", es="Quitar seleccionada",
  fr="Retirer la sélection", hu="Kijelölt eltávolítása", it="Rimuovi selezionata",
  jp="選択項目を削除", kr="선택 항목 제거", nl="Selectie verwijderen", pl="Usuń wybrany",
  pt="Remover selecionada", tr="Seçileni kaldır")
T("Fin&d file clones", ar="البحث عن الملفات المكررة", cn="查找重复文件",
  cs="Hledat duplicitní soubory", de="Doppelte Dateien suchen",
  el="Εύρεση διπλότυπων αρχείων", es="Buscar archivos duplicados",
  fr="Rechercher les fichiers en double", hu="Ismétlődő fájlok keresése",
  it="Trova file duplicati", jp="重複ファイルを検索", kr="중복 파일 찾기",
  nl="Dubbele bestanden zoeken", pl="Szukaj zduplikowanych plików",
  pt="Localizar arquivos duplicados", tr="Yinelenen dosyaları bul")
T("Find fo&lder clones", ar="البحث عن المجلدات المكررة", cn="查找重复文件夹",
  cs="Hledat duplicitní složky", de="Doppelte Ordner suchen",
  el="Εύρεση διπλότυπων φακέλων", es="Buscar carpetas duplicadas",
  fr="Rechercher les dossiers en double", hu="Ismétlődő mappák keresése",
  it="Trova cartelle duplicate", jp="重複フォルダーを検索", kr="중복 폴더 찾기",
  nl="Dubbele mappen zoeken", pl="Szukaj zduplikowanych folderów",
  pt="Localizar pastas duplicadas", tr="Yinelenen klasörleri bul")
T("Compare folder contents b&yte by byte", ar="مقارنة محتويات المجلدات بايتًا بايتًا", cn="逐字节比较文件夹内容",
  cs="Porovnat obsah složek bajt po bajtu", de="Ordnerinhalte Byte für Byte vergleichen",
  el="Σύγκριση περιεχομένων φακέλων byte προς byte", es="Comparar el contenido de las carpetas byte a byte",
  fr="Comparer le contenu des dossiers octet par octet", hu="Mappák tartalmának bájtonkénti összevetése",
  it="Confronta il contenuto delle cartelle byte per byte", jp="フォルダーの内容をバイト単位で比較",
  kr="폴더 내용을 바이트 단위로 비교", nl="Mapinhoud byte voor byte vergelijken",
  pl="Porównuj zawartość folderów bajt po bajcie", pt="Comparar o conteúdo das pastas byte a byte",
  tr="Klasör içeriklerini bayt bayt karşılaştır")
T("Lists only folders whose files hold the same bytes; without it, folders are grouped by file names and sizes "
  "and compared by content before removal.",
  ar="يعرض فقط المجلدات التي تحمل ملفاتها البايتات نفسها؛ وبدونه تُجمَّع المجلدات حسب أسماء الملفات وأحجامها وتُقارَن محتوياتها قبل الإزالة.",
  cn="仅列出文件字节完全相同的文件夹；不勾选时，按文件名和大小对文件夹分组，并在删除前比较内容。",
  cs="Zobrazí jen složky, jejichž soubory mají stejné bajty; bez této volby se složky seskupí podle názvů a velikostí souborů a jejich obsah se porovná před odstraněním.",
  de="Listet nur Ordner, deren Dateien dieselben Bytes enthalten; ohne diese Option werden Ordner nach Dateinamen und -größen gruppiert und vor dem Entfernen inhaltlich verglichen.",
  el="Εμφανίζει μόνο φακέλους των οποίων τα αρχεία έχουν τα ίδια byte· χωρίς αυτό, οι φάκελοι ομαδοποιούνται κατά ονόματα και μεγέθη αρχείων και συγκρίνονται κατά περιεχόμενο πριν από την αφαίρεση.",
  es="Muestra solo las carpetas cuyos archivos tienen los mismos bytes; sin esta opción, las carpetas se agrupan por nombres y tamaños de archivo y su contenido se compara antes de quitarlas.",
  fr="N'affiche que les dossiers dont les fichiers ont les mêmes octets ; sans cette option, les dossiers sont regroupés par noms et tailles de fichiers et leur contenu est comparé avant la suppression.",
  hu="Csak azokat a mappákat listázza, amelyek fájljai bájtra azonosak; nélküle a mappák fájlnevek és méretek szerint csoportosulnak, tartalmukat pedig eltávolítás előtt veti össze.",
  it="Elenca solo le cartelle i cui file contengono gli stessi byte; senza questa opzione, le cartelle sono raggruppate per nomi e dimensioni dei file e il contenuto viene confrontato prima della rimozione.",
  jp="ファイルのバイトが同一のフォルダーだけを表示します。オフの場合は、ファイル名とサイズでフォルダーをグループ化し、削除の前に内容を比較します。",
  kr="파일의 바이트가 같은 폴더만 표시합니다. 끄면 파일 이름과 크기로 폴더를 묶고, 제거하기 전에 내용을 비교합니다.",
  nl="Toont alleen mappen waarvan de bestanden dezelfde bytes bevatten; zonder deze optie worden mappen gegroepeerd op bestandsnamen en -grootten en vóór het verwijderen op inhoud vergeleken.",
  pl="Pokazuje tylko foldery, których pliki mają te same bajty; bez tej opcji foldery są grupowane według nazw i rozmiarów plików, a ich zawartość jest porównywana przed usunięciem.",
  pt="Lista apenas as pastas cujos arquivos têm os mesmos bytes; sem esta opção, as pastas são agrupadas por nomes e tamanhos de arquivo e o conteúdo é comparado antes da remoção.",
  tr="Yalnızca dosyaları aynı baytları içeren klasörleri listeler; bu seçenek olmadan klasörler dosya adlarına ve boyutlarına göre gruplanır ve kaldırmadan önce içerikleri karşılaştırılır.")
T("Compare files &by", ar="مقارنة الملفات حسب", cn="文件比较方式", cs="Porovnávat soubory podle",
  de="Dateien vergleichen nach", el="Σύγκριση αρχείων κατά", es="Comparar archivos por",
  fr="Comparer les fichiers par", hu="Összehasonlítás alapja", it="Confronta i file per",
  jp="ファイルの比較方法", kr="파일 비교 기준", nl="Bestanden vergelijken op",
  pl="Porównuj pliki według", pt="Comparar arquivos por", tr="Dosyaları karşılaştırma ölçütü")
T("&Name", ar="الاسم", cn="名称", cs="Název", de="Name", el="Όνομα", es="Nombre", fr="Nom",
  hu="Név", it="Nome", jp="名前", kr="이름", nl="Naam", pl="Nazwa", pt="Nome", tr="Ad")
T("Size", ar="الحجم", cn="大小", cs="Velikost", de="Größe", el="Μέγεθος", es="Tamaño",
  fr="Taille", hu="Méret", it="Dimensione", jp="サイズ", kr="크기", nl="Grootte",
  pl="Rozmiar", pt="Tamanho", tr="Boyut")
T("Na&me && Size", ar="الاسم والحجم", cn="名称和大小", cs="Název a velikost",
  de="Name && Größe", el="Όνομα και μέγεθος", es="Nombre y tamaño", fr="Nom et taille",
  hu="Név és méret", it="Nome e dimensione", jp="名前とサイズ", kr="이름 및 크기",
  nl="Naam en grootte", pl="Nazwa i rozmiar", pt="Nome e tamanho", tr="Ad ve boyut")
T("&Content (SHA-1)", ar="المحتوى (SHA-1)", cn="内容 (SHA-1)", cs="Obsah (SHA-1)",
  de="Inhalt (SHA-1)", el="Περιεχόμενο (SHA-1)", es="Contenido (SHA-1)",
  fr="Contenu (SHA-1)", hu="Tartalom (SHA-1)", it="Contenuto (SHA-1)", jp="内容 (SHA-1)",
  kr="내용 (SHA-1)", nl="Inhoud (SHA-1)", pl="Zawartość (SHA-1)", pt="Conteúdo (SHA-1)",
  tr="İçerik (SHA-1)")
T("File mas&ks (CSV):", ar="أقنعة الملفات (CSV):", cn="文件掩码 (CSV)：",
  cs="Masky souborů (CSV):", de="Dateimasken (CSV):", el="Μάσκες αρχείων (CSV):",
  es="Máscaras de archivo (CSV):", fr="Masques de fichiers (CSV) :",
  hu="Fájlmaszkok (CSV):", it="Maschere file (CSV):", jp="ファイル マスク (CSV):",
  kr="파일 마스크 (CSV):", nl="Bestandsmaskers (CSV):", pl="Maski plików (CSV):",
  pt="Máscaras de arquivo (CSV):", tr="Dosya maskeleri (CSV):")
T("Min si&ze (MB):", ar="الحد الأدنى للحجم (MB):", cn="最小大小 (MB)：",
  cs="Min. velikost (MB):", de="Mindestgröße (MB):", el="Ελάχ. μέγεθος (MB):",
  es="Tamaño mín. (MB):", fr="Taille min. (MB) :", hu="Min. méret (MB):",
  it="Dimensione min. (MB):", jp="最小サイズ (MB):", kr="최소 크기 (MB):",
  nl="Min. grootte (MB):", pl="Min. rozmiar (MB):", pt="Tamanho mín. (MB):",
  tr="En küçük boyut (MB):")
T("&Parallel hashing", ar="حساب البصمات بالتوازي", cn="并行计算哈希", cs="Paralelní hashování",
  de="Paralleles Hashing", el="Παράλληλος υπολογισμός hash", es="Cálculo de hash en paralelo",
  fr="Hachage en parallèle", hu="Párhuzamos hash-számítás", it="Hashing parallelo",
  jp="並列ハッシュ計算", kr="병렬 해시 계산", nl="Parallel hashen", pl="Równoległe haszowanie",
  pt="Hash em paralelo", tr="Paralel karma hesaplama")
T("Follo&w folder links", ar="تتبع روابط المجلدات", cn="跟随文件夹链接", cs="Následovat odkazy na složky",
  de="Ordnerverknüpfungen folgen", el="Ακολούθηση συνδέσμων φακέλων", es="Seguir enlaces a carpetas",
  fr="Suivre les liens vers des dossiers", hu="Mappahivatkozások követése",
  it="Segui i link alle cartelle", jp="フォルダーへのリンクをたどる", kr="폴더 링크 따라가기",
  nl="Koppelingen naar mappen volgen", pl="Podążaj za dowiązaniami do folderów",
  pt="Seguir links para pastas", tr="Klasör bağlantılarını izle")
T("Walk links to folders below the listed folders like folders, each folder once. Unchecked, such links are left out.",
  ar="تُتصفَّح روابط المجلدات الموجودة تحت المجلدات المدرجة كأنها مجلدات، وكل مجلد مرة واحدة. عند إلغاء التحديد تُترك هذه الروابط.",
  cn="像文件夹一样遍历所列文件夹下指向文件夹的链接，每个文件夹只取一次。取消勾选时不遍历这些链接。",
  cs="Odkazy na složky pod uvedenými složkami procházet jako složky, každou složku jednou. Bez zaškrtnutí se takové odkazy vynechají.",
  de="Verknüpfungen zu Ordnern unterhalb der aufgeführten Ordner wie Ordner durchsuchen, jeden Ordner einmal. Nicht angehakt werden solche Verknüpfungen ausgelassen.",
  el="Οι σύνδεσμοι προς φακέλους κάτω από τους φακέλους της λίστας διατρέχονται σαν φάκελοι, κάθε φάκελος μία φορά. Χωρίς σημείωση παραλείπονται.",
  es="Recorrer como carpetas los enlaces a carpetas que hay bajo las carpetas de la lista, cada carpeta una vez. Sin marcar, esos enlaces se omiten.",
  fr="Parcourir comme des dossiers les liens vers des dossiers sous les dossiers de la liste, chaque dossier une fois. Décoché, ces liens sont ignorés.",
  hu="A felsorolt mappák alatti mappahivatkozások bejárása mappaként, minden mappa egyszer. Bejelölés nélkül az ilyen hivatkozások kimaradnak.",
  it="Percorre come cartelle i link a cartelle sotto le cartelle dell'elenco, ogni cartella una volta. Se non selezionato, tali link vengono tralasciati.",
  jp="一覧のフォルダーの下にあるフォルダーへのリンクをフォルダーと同じようにたどります（各フォルダーは一度だけ）。オフにすると、そのようなリンクは除外されます。",
  kr="목록에 있는 폴더 아래의 폴더 링크를 폴더처럼 탐색합니다(각 폴더는 한 번만). 선택을 해제하면 그런 링크는 제외됩니다.",
  nl="Koppelingen naar mappen onder de opgenomen mappen doorlopen als mappen, elke map één keer. Niet aangevinkt worden zulke koppelingen overgeslagen.",
  pl="Przechodź dowiązania do folderów poniżej folderów z listy jak foldery, każdy folder raz. Bez zaznaczenia takie dowiązania są pomijane.",
  pt="Percorrer como pastas os links para pastas abaixo das pastas da lista, cada pasta uma vez. Desmarcado, esses links são deixados de fora.",
  tr="Listedeki klasörlerin altındaki klasör bağlantılarını klasör gibi tara, her klasörü bir kez. İşaretli değilse bu bağlantılar atlanır.")
T("Max &groups (0 = all):", ar="الحد الأقصى للمجموعات (0 = الكل):", cn="最大组数 (0 = 全部)：",
  cs="Max. skupin (0 = vše):", de="Max. Gruppen (0 = alle):", el="Μέγ. ομάδες (0 = όλες):",
  es="Máx. grupos (0 = todos):", fr="Groupes max. (0 = tous) :",
  hu="Max. csoportok (0 = mind):", it="Max gruppi (0 = tutti):",
  jp="最大グループ数 (0 = すべて):", kr="최대 그룹 수 (0 = 모두):",
  nl="Max. groepen (0 = alle):", pl="Maks. grup (0 = wszystkie):",
  pt="Máx. de grupos (0 = todos):", tr="En fazla grup (0 = tümü):")
T("Min gro&up size:", ar="الحد الأدنى لحجم المجموعة:", cn="最小组大小：",
  cs="Min. velikost skupiny:", de="Min. Gruppengröße:", el="Ελάχ. μέγεθος ομάδας:",
  es="Tamaño mín. de grupo:", fr="Taille min. de groupe :", hu="Min. csoportméret:",
  it="Dimensione min. gruppo:", jp="最小グループ サイズ:", kr="최소 그룹 크기:",
  nl="Min. groepsgrootte:", pl="Min. rozmiar grupy:", pt="Tamanho mín. do grupo:",
  tr="En küçük grup boyutu:")
T("&Check all", ar="تأشير الكل", cn="全部勾选", cs="Zaškrtnout vše", de="Alle markieren",
  el="Επιλογή όλων", es="Marcar todo", fr="Tout cocher", hu="Az összes bejelölése",
  it="Seleziona tutto", jp="すべてチェック", kr="모두 선택", nl="Alles aanvinken",
  pl="Zaznacz wszystko", pt="Marcar todos", tr="Tümünü işaretle")
T("&Uncheck all", ar="إلغاء تأشير الكل", cn="全部取消勾选", cs="Zrušit zaškrtnutí všech",
  de="Keine markieren", el="Αποεπιλογή όλων", es="Desmarcar todo",
  fr="Tout décocher", hu="Az összes bejelölés törlése", it="Deseleziona tutto",
  jp="すべてのチェックを外す", kr="모두 선택 해제", nl="Alles uitvinken", pl="Odznacz wszystko",
  pt="Desmarcar todos", tr="Tüm işaretleri kaldır")
T("&Open location", ar="فتح الموقع", cn="打开所在位置", cs="Otevřít umístění",
  de="Speicherort öffnen", el="Άνοιγμα θέσης", es="Abrir ubicación",
  fr="Ouvrir l'emplacement", hu="Hely megnyitása", it="Apri percorso", jp="場所を開く",
  kr="위치 열기", nl="Locatie openen", pl="Otwórz lokalizację", pt="Abrir local",
  tr="Konumu aç")
T("&Delete checked to Recycle Bin", ar="نقل العناصر المؤشَّر عليها إلى سلة المحذوفات",
  cn="将勾选项移到回收站", cs="Přesunout zaškrtnuté do koše",
  de="Markierte in den Papierkorb verschieben", el="Μετακίνηση επιλεγμένων στον Κάδο Ανακύκλωσης",
  es="Mover marcados a la Papelera de reciclaje", fr="Mettre les éléments cochés à la corbeille",
  hu="Bejelöltek áthelyezése a Lomtárba", it="Sposta selezionati nel Cestino",
  jp="チェックした項目をごみ箱へ移動", kr="선택한 항목을 휴지통으로 이동",
  nl="Aangevinkte naar de Prullenbak verplaatsen", pl="Przenieś zaznaczone do Kosza",
  pt="Mover marcados para a Lixeira", tr="İşaretlileri Geri Dönüşüm Kutusu'na taşı")
T("Ready", ar="جاهز", cn="就绪", cs="Připraveno", de="Bereit", el="Έτοιμο", es="Listo",
  fr="Prêt", hu="Kész", it="Pronto", jp="準備完了", kr="준비", nl="Gereed", pl="Gotowy",
  pt="Pronto", tr="Hazır")
T("Group", ar="المجموعة", cn="组", cs="Skupina", de="Gruppe", el="Ομάδα", es="Grupo",
  fr="Groupe", hu="Csoport", it="Gruppo", jp="グループ", kr="그룹", nl="Groep",
  pl="Grupa", pt="Grupo", tr="Grup")
T("File name", ar="اسم الملف", cn="文件名", cs="Název souboru", de="Dateiname",
  el="Όνομα αρχείου", es="Nombre de archivo", fr="Nom du fichier", hu="Fájlnév",
  it="Nome file", jp="ファイル名", kr="파일 이름", nl="Bestandsnaam", pl="Nazwa pliku",
  pt="Nome do arquivo", tr="Dosya adı")
T("Directory", ar="المجلد", cn="文件夹", cs="Složka", de="Ordner", el="Φάκελος",
  es="Carpeta", fr="Dossier", hu="Mappa", it="Cartella", jp="フォルダー", kr="폴더",
  nl="Map", pl="Folder", pt="Pasta", tr="Klasör")
T("File size (MB)", ar="حجم الملف (MB)", cn="文件大小 (MB)", cs="Velikost souboru (MB)",
  de="Dateigröße (MB)", el="Μέγεθος αρχείου (MB)", es="Tamaño de archivo (MB)",
  fr="Taille du fichier (MB)", hu="Fájlméret (MB)", it="Dimensione file (MB)",
  jp="ファイル サイズ (MB)", kr="파일 크기 (MB)", nl="Bestandsgrootte (MB)",
  pl="Rozmiar pliku (MB)", pt="Tamanho do arquivo (MB)", tr="Dosya boyutu (MB)")
T("Group %d (%s)", ar="المجموعة %d (%s)", cn="第 %d 组 (%s)", cs="Skupina %d (%s)",
  de="Gruppe %d (%s)", el="Ομάδα %d (%s)", es="Grupo %d (%s)", fr="Groupe %d (%s)",
  hu="%d. csoport (%s)", it="Gruppo %d (%s)", jp="グループ %d (%s)", kr="그룹 %d (%s)",
  nl="Groep %d (%s)", pl="Grupa %d (%s)", pt="Grupo %d (%s)", tr="Grup %d (%s)")
T(" MB", ar=" MB", cn=" MB", cs=" MB", de=" MB", el=" MB", es=" MB", fr=" MB", hu=" MB",
  it=" MB", jp=" MB", kr=" MB", nl=" MB", pl=" MB", pt=" MB", tr=" MB")

# Captions that read as another text but carry a mnemonic of their own: the
# menu items beside the tabs, the list's Size column.
Like("&File Clones", "File Clones")
Like("F&older Clones", "Folder Clones")
Like("S&ize", "Size")

# --- Scan run ---------------------------------------------------------------

T("Please add at least one folder.", ar="يرجى إضافة مجلد واحد على الأقل.",
  cn="请至少添加一个文件夹。", cs="Přidejte alespoň jednu složku.",
  de="Bitte fügen Sie mindestens einen Ordner hinzu.", el="Προσθέστε τουλάχιστον έναν φάκελο.",
  es="Agregue al menos una carpeta.", fr="Veuillez ajouter au moins un dossier.",
  hu="Adjon hozzá legalább egy mappát.", it="Aggiungere almeno una cartella.",
  jp="フォルダーを 1 つ以上追加してください。", kr="폴더를 하나 이상 추가하십시오.",
  nl="Voeg ten minste één map toe.", pl="Dodaj co najmniej jeden folder.",
  pt="Adicione pelo menos uma pasta.", tr="Lütfen en az bir klasör ekleyin.")
T("Nothing to look for: check \"Find file clones\" or \"Find folder clones\".",
  ar="لا يوجد ما يُبحث عنه: حدد \"البحث عن الملفات المكررة\" أو \"البحث عن المجلدات المكررة\".",
  cn="没有要查找的内容：请勾选\"查找重复文件\"或\"查找重复文件夹\"。",
  cs="Není co hledat: zaškrtněte \"Hledat duplicitní soubory\" nebo \"Hledat duplicitní složky\".",
  de="Nichts zu suchen: Aktivieren Sie \"Doppelte Dateien suchen\" oder \"Doppelte Ordner suchen\".",
  el="Δεν υπάρχει τίποτα για αναζήτηση: επιλέξτε \"Εύρεση διπλότυπων αρχείων\" ή \"Εύρεση διπλότυπων φακέλων\".",
  es="No hay nada que buscar: marque \"Buscar archivos duplicados\" o \"Buscar carpetas duplicadas\".",
  fr="Rien à rechercher : cochez \"Rechercher les fichiers en double\" ou \"Rechercher les dossiers en double\".",
  hu="Nincs mit keresni: jelölje be az \"Ismétlődő fájlok keresése\" vagy az \"Ismétlődő mappák keresése\" lehetőséget.",
  it="Niente da cercare: selezionare \"Trova file duplicati\" o \"Trova cartelle duplicate\".",
  jp="検索する対象がありません:「重複ファイルを検索」または「重複フォルダーを検索」をオンにしてください。",
  kr="찾을 대상이 없습니다: \"중복 파일 찾기\" 또는 \"중복 폴더 찾기\"를 선택하십시오.",
  nl="Niets om te zoeken: vink \"Dubbele bestanden zoeken\" of \"Dubbele mappen zoeken\" aan.",
  pl="Nie ma czego szukać: zaznacz \"Szukaj zduplikowanych plików\" lub \"Szukaj zduplikowanych folderów\".",
  pt="Nada a procurar: marque \"Localizar arquivos duplicados\" ou \"Localizar pastas duplicadas\".",
  tr="Aranacak bir şey yok: \"Yinelenen dosyaları bul\" veya \"Yinelenen klasörleri bul\" seçeneğini işaretleyin.")
T("Cancelled", ar="تم الإلغاء", cn="已取消", cs="Zrušeno", de="Abgebrochen",
  el="Ακυρώθηκε", es="Cancelado", fr="Annulé", hu="Megszakítva", it="Annullato",
  jp="キャンセルされました", kr="취소됨", nl="Geannuleerd", pl="Anulowano",
  pt="Cancelado", tr="İptal edildi")
T("Done.", ar="تم.", cn="完成。", cs="Hotovo.", de="Fertig.", el="Ολοκληρώθηκε.",
  es="Terminado.", fr="Terminé.", hu="Befejezve.", it="Completato.", jp="完了しました。",
  kr="완료되었습니다.", nl="Klaar.", pl="Gotowe.", pt="Concluído.", tr="Tamamlandı.")
T("Stopping...", ar="جارٍ الإيقاف...", cn="正在停止...", cs="Zastavování...",
  de="Wird angehalten...", el="Διακοπή σε εξέλιξη...", es="Deteniendo...", fr="Arrêt en cours...",
  hu="Leállítás...", it="Interruzione in corso...", jp="停止しています...",
  kr="중지하는 중...", nl="Bezig met stoppen...", pl="Zatrzymywanie...", pt="Parando...",
  tr="Durduruluyor...")
T("Error: ", ar="خطأ: ", cn="错误：", cs="Chyba: ", de="Fehler: ", el="Σφάλμα: ",
  es="Error: ", fr="Erreur : ", hu="Hiba: ", it="Errore: ", jp="エラー: ", kr="오류: ",
  nl="Fout: ", pl="Błąd: ", pt="Erro: ", tr="Hata: ")

# --- Folder list and file collection ----------------------------------------

T("Select folder to scan", ar="اختر المجلد المراد فحصه", cn="选择要扫描的文件夹",
  cs="Vyberte složku k prohledání", de="Zu scannenden Ordner auswählen",
  el="Επιλέξτε φάκελο για σάρωση", es="Seleccione la carpeta que desea examinar",
  fr="Sélectionnez le dossier à analyser", hu="Válassza ki az átvizsgálandó mappát",
  it="Selezionare la cartella da scansionare", jp="スキャンするフォルダーを選択",
  kr="스캔할 폴더 선택", nl="Selecteer de map die u wilt scannen",
  pl="Wybierz folder do skanowania", pt="Selecione a pasta a verificar",
  tr="Taranacak klasörü seçin")
T("Scanning folders...", ar="جارٍ فحص المجلدات...", cn="正在扫描文件夹...",
  cs="Prohledávání složek...", de="Ordner werden gescannt...", el="Σάρωση φακέλων...",
  es="Examinando carpetas...", fr="Analyse des dossiers...", hu="Mappák átvizsgálása...",
  it="Scansione delle cartelle...", jp="フォルダーをスキャンしています...",
  kr="폴더를 스캔하는 중...", nl="Mappen scannen...", pl="Skanowanie folderów...",
  pt="Verificando pastas...", tr="Klasörler taranıyor...")
T("Scanning folder list: %s   [%s]", ar="جارٍ فحص قائمة المجلدات: %s   [%s]",
  cn="正在扫描文件夹列表：%s   [%s]", cs="Prohledávání seznamu složek: %s   [%s]",
  de="Ordnerliste wird gescannt: %s   [%s]", el="Σάρωση λίστας φακέλων: %s   [%s]",
  es="Examinando la lista de carpetas: %s   [%s]",
  fr="Analyse de la liste des dossiers : %s   [%s]",
  hu="Mappalista átvizsgálása: %s   [%s]", it="Scansione elenco cartelle: %s   [%s]",
  jp="フォルダー一覧をスキャンしています: %s   [%s]", kr="폴더 목록 스캔 중: %s   [%s]",
  nl="Mappenlijst scannen: %s   [%s]", pl="Skanowanie listy folderów: %s   [%s]",
  pt="Verificando a lista de pastas: %s   [%s]", tr="Klasör listesi taranıyor: %s   [%s]")
T("Scanning: %s (%d/%d)", ar="جارٍ الفحص: %s (%d/%d)", cn="正在扫描：%s (%d/%d)",
  cs="Prohledávání: %s (%d/%d)", de="Scannen: %s (%d/%d)", el="Σάρωση: %s (%d/%d)",
  es="Examinando: %s (%d/%d)", fr="Analyse : %s (%d/%d)", hu="Átvizsgálás: %s (%d/%d)",
  it="Scansione: %s (%d/%d)", jp="スキャン中: %s (%d/%d)", kr="스캔 중: %s (%d/%d)",
  nl="Scannen: %s (%d/%d)", pl="Skanowanie: %s (%d/%d)", pt="Verificando: %s (%d/%d)",
  tr="Taranıyor: %s (%d/%d)")
T("Scanning cancelled. %d files collected so far.",
  ar="تم إلغاء الفحص. عدد الملفات التي جُمعت حتى الآن: %d.",
  cn="扫描已取消。目前已收集 %d 个文件。",
  cs="Prohledávání bylo zrušeno. Dosud shromážděno souborů: %d.",
  de="Scan abgebrochen. Bisher %d Dateien erfasst.",
  el="Η σάρωση ακυρώθηκε. Συλλέχθηκαν %d αρχεία μέχρι στιγμής.",
  es="Examen cancelado. %d archivos recopilados hasta ahora.",
  fr="Analyse annulée. %d fichiers collectés jusqu'ici.",
  hu="Az átvizsgálás megszakadt. Eddig %d fájl összegyűjtve.",
  it="Scansione annullata. %d file raccolti finora.",
  jp="スキャンはキャンセルされました。これまでに %d 個のファイルを収集しました。",
  kr="스캔이 취소되었습니다. 지금까지 파일 %d개를 수집했습니다.",
  nl="Scan geannuleerd. Tot nu toe %d bestanden verzameld.",
  pl="Skanowanie anulowane. Dotąd zebrano plików: %d.",
  pt="Verificação cancelada. %d arquivos coletados até agora.",
  tr="Tarama iptal edildi. Şu ana kadar %d dosya toplandı.")
T("Found %d files (after filters).", ar="عدد الملفات التي عُثر عليها: %d (بعد التصفية).",
  cn="找到 %d 个文件（已筛选）。", cs="Nalezeno souborů: %d (po filtrování).",
  de="%d Dateien gefunden (nach Filterung).", el="Βρέθηκαν %d αρχεία (μετά τα φίλτρα).",
  es="Se encontraron %d archivos (tras aplicar los filtros).",
  fr="%d fichiers trouvés (après filtrage).", hu="%d fájl található (szűrés után).",
  it="Trovati %d file (dopo i filtri).", jp="%d 個のファイルが見つかりました (フィルター適用後)。",
  kr="파일 %d개를 찾았습니다(필터 적용 후).", nl="%d bestanden gevonden (na filters).",
  pl="Znaleziono plików: %d (po filtrowaniu).", pt="%d arquivos encontrados (após os filtros).",
  tr="%d dosya bulundu (filtrelerden sonra).")

# --- Content hashing --------------------------------------------------------

T("Computing SHA-1 hashes (size filtered)...",
  ar="جارٍ حساب بصمات SHA-1 (بعد التصفية حسب الحجم)...",
  cn="正在计算 SHA-1 哈希（已按大小筛选）...",
  cs="Výpočet hashů SHA-1 (filtrováno podle velikosti)...",
  de="SHA-1-Prüfsummen werden berechnet (nach Größe gefiltert)...",
  el="Υπολογισμός hash SHA-1 (με φιλτράρισμα κατά μέγεθος)...",
  es="Calculando hashes SHA-1 (filtrados por tamaño)...",
  fr="Calcul des empreintes SHA-1 (filtrées par taille)...",
  hu="SHA-1 hash-ek számítása (méret szerint szűrve)...",
  it="Calcolo degli hash SHA-1 (filtrati per dimensione)...",
  jp="SHA-1 ハッシュを計算しています (サイズで絞り込み済み)...",
  kr="SHA-1 해시 계산 중(크기로 필터링됨)...",
  nl="SHA-1-hashes berekenen (gefilterd op grootte)...",
  pl="Obliczanie skrótów SHA-1 (filtrowanie wg rozmiaru)...",
  pt="Calculando hashes SHA-1 (filtrados por tamanho)...",
  tr="SHA-1 karmaları hesaplanıyor (boyuta göre süzüldü)...")
T("Computing SHA-1 hashes (size filtered)... %d / %d",
  ar="جارٍ حساب بصمات SHA-1 (بعد التصفية حسب الحجم)... %d / %d",
  cn="正在计算 SHA-1 哈希（已按大小筛选）... %d / %d",
  cs="Výpočet hashů SHA-1 (filtrováno podle velikosti)... %d / %d",
  de="SHA-1-Prüfsummen werden berechnet (nach Größe gefiltert)... %d / %d",
  el="Υπολογισμός hash SHA-1 (με φιλτράρισμα κατά μέγεθος)... %d / %d",
  es="Calculando hashes SHA-1 (filtrados por tamaño)... %d / %d",
  fr="Calcul des empreintes SHA-1 (filtrées par taille)... %d / %d",
  hu="SHA-1 hash-ek számítása (méret szerint szűrve)... %d / %d",
  it="Calcolo degli hash SHA-1 (filtrati per dimensione)... %d / %d",
  jp="SHA-1 ハッシュを計算しています (サイズで絞り込み済み)... %d / %d",
  kr="SHA-1 해시 계산 중(크기로 필터링됨)... %d / %d",
  nl="SHA-1-hashes berekenen (gefilterd op grootte)... %d / %d",
  pl="Obliczanie skrótów SHA-1 (filtrowanie wg rozmiaru)... %d / %d",
  pt="Calculando hashes SHA-1 (filtrados por tamanho)... %d / %d",
  tr="SHA-1 karmaları hesaplanıyor (boyuta göre süzüldü)... %d / %d")
T("Stopping SHA-1 hashing... %d / %d", ar="جارٍ إيقاف حساب بصمات SHA-1... %d / %d",
  cn="正在停止 SHA-1 哈希计算... %d / %d", cs="Zastavování hashování SHA-1... %d / %d",
  de="SHA-1-Berechnung wird angehalten... %d / %d",
  el="Διακοπή υπολογισμού SHA-1... %d / %d", es="Deteniendo el cálculo SHA-1... %d / %d",
  fr="Arrêt du hachage SHA-1... %d / %d", hu="SHA-1 hash-számítás leállítása... %d / %d",
  it="Interruzione del calcolo SHA-1... %d / %d",
  jp="SHA-1 ハッシュ計算を停止しています... %d / %d",
  kr="SHA-1 해시 계산을 중지하는 중... %d / %d", nl="SHA-1-hashen stoppen... %d / %d",
  pl="Zatrzymywanie haszowania SHA-1... %d / %d", pt="Parando o cálculo SHA-1... %d / %d",
  tr="SHA-1 karma hesaplaması durduruluyor... %d / %d")

# --- File clone grouping ----------------------------------------------------

T("Listing file groups (%d/%d)...", ar="جارٍ عرض مجموعات الملفات (%d/%d)...",
  cn="正在列出文件组 (%d/%d)...", cs="Vypisování skupin souborů (%d/%d)...",
  de="Dateigruppen werden aufgelistet (%d/%d)...", el="Εμφάνιση ομάδων αρχείων (%d/%d)...",
  es="Mostrando grupos de archivos (%d/%d)...", fr="Affichage des groupes de fichiers (%d/%d)...",
  hu="Fájlcsoportok listázása (%d/%d)...", it="Elenco dei gruppi di file (%d/%d)...",
  jp="ファイル グループを一覧表示しています (%d/%d)...", kr="파일 그룹 나열 중 (%d/%d)...",
  nl="Bestandsgroepen weergeven (%d/%d)...", pl="Wyświetlanie grup plików (%d/%d)...",
  pt="Listando grupos de arquivos (%d/%d)...", tr="Dosya grupları listeleniyor (%d/%d)...")
T("Duplicate file groups populated.", ar="اكتمل عرض مجموعات الملفات المكررة.",
  cn="已列出重复文件组。", cs="Skupiny duplicitních souborů jsou vypsány.",
  de="Gruppen doppelter Dateien aufgelistet.", el="Οι ομάδες διπλότυπων αρχείων εμφανίστηκαν.",
  es="Grupos de archivos duplicados mostrados.", fr="Groupes de fichiers en double affichés.",
  hu="Az ismétlődő fájlok csoportjai listázva.", it="Gruppi di file duplicati elencati.",
  jp="重複ファイルのグループを一覧表示しました。", kr="중복 파일 그룹을 표시했습니다.",
  nl="Groepen dubbele bestanden weergegeven.", pl="Wyświetlono grupy zduplikowanych plików.",
  pt="Grupos de arquivos duplicados listados.", tr="Yinelenen dosya grupları listelendi.")

# --- Folder clone detection -------------------------------------------------

T("Collecting directories: %s", ar="جارٍ جمع المجلدات: %s", cn="正在收集文件夹：%s",
  cs="Shromažďování složek: %s", de="Ordner werden erfasst: %s", el="Συλλογή φακέλων: %s",
  es="Recopilando carpetas: %s", fr="Collecte des dossiers : %s",
  hu="Mappák összegyűjtése: %s", it="Raccolta delle cartelle: %s",
  jp="フォルダーを収集しています: %s", kr="폴더 수집 중: %s", nl="Mappen verzamelen: %s",
  pl="Zbieranie folderów: %s", pt="Coletando pastas: %s", tr="Klasörler toplanıyor: %s")
T("Analyzing directories (0/%d)...", ar="جارٍ تحليل المجلدات (0/%d)...",
  cn="正在分析文件夹 (0/%d)...", cs="Analýza složek (0/%d)...",
  de="Ordner werden analysiert (0/%d)...", el="Ανάλυση φακέλων (0/%d)...",
  es="Analizando carpetas (0/%d)...", fr="Examen des dossiers (0/%d)...",
  hu="Mappák elemzése (0/%d)...", it="Analisi delle cartelle (0/%d)...",
  jp="フォルダーを分析しています (0/%d)...", kr="폴더 분석 중 (0/%d)...",
  nl="Mappen analyseren (0/%d)...", pl="Analizowanie folderów (0/%d)...",
  pt="Analisando pastas (0/%d)...", tr="Klasörler analiz ediliyor (0/%d)...")
T("Analyzing directories (%d/%d)...", ar="جارٍ تحليل المجلدات (%d/%d)...",
  cn="正在分析文件夹 (%d/%d)...", cs="Analýza složek (%d/%d)...",
  de="Ordner werden analysiert (%d/%d)...", el="Ανάλυση φακέλων (%d/%d)...",
  es="Analizando carpetas (%d/%d)...", fr="Examen des dossiers (%d/%d)...",
  hu="Mappák elemzése (%d/%d)...", it="Analisi delle cartelle (%d/%d)...",
  jp="フォルダーを分析しています (%d/%d)...", kr="폴더 분석 중 (%d/%d)...",
  nl="Mappen analyseren (%d/%d)...", pl="Analizowanie folderów (%d/%d)...",
  pt="Analisando pastas (%d/%d)...", tr="Klasörler analiz ediliyor (%d/%d)...")
T("Grouping duplicate directories...", ar="جارٍ تجميع المجلدات المكررة...",
  cn="正在对重复文件夹分组...", cs="Seskupování duplicitních složek...",
  de="Doppelte Ordner werden gruppiert...", el="Ομαδοποίηση διπλότυπων φακέλων...",
  es="Agrupando carpetas duplicadas...", fr="Regroupement des dossiers en double...",
  hu="Ismétlődő mappák csoportosítása...", it="Raggruppamento delle cartelle duplicate...",
  jp="重複フォルダーをグループ化しています...", kr="중복 폴더 그룹화 중...",
  nl="Dubbele mappen groeperen...", pl="Grupowanie zduplikowanych folderów...",
  pt="Agrupando pastas duplicadas...", tr="Yinelenen klasörler gruplanıyor...")
T("Listing directory groups...", ar="جارٍ عرض مجموعات المجلدات...",
  cn="正在列出文件夹组...", cs="Vypisování skupin složek...",
  de="Ordnergruppen werden aufgelistet...", el="Εμφάνιση ομάδων φακέλων...",
  es="Mostrando grupos de carpetas...", fr="Affichage des groupes de dossiers...",
  hu="Mappacsoportok listázása...", it="Elenco dei gruppi di cartelle...",
  jp="フォルダー グループを一覧表示しています...", kr="폴더 그룹 나열 중...",
  nl="Mapgroepen weergeven...", pl="Wyświetlanie grup folderów...",
  pt="Listando grupos de pastas...", tr="Klasör grupları listeleniyor...")
T("Listing directory groups (%d/%d)...", ar="جارٍ عرض مجموعات المجلدات (%d/%d)...",
  cn="正在列出文件夹组 (%d/%d)...", cs="Vypisování skupin složek (%d/%d)...",
  de="Ordnergruppen werden aufgelistet (%d/%d)...", el="Εμφάνιση ομάδων φακέλων (%d/%d)...",
  es="Mostrando grupos de carpetas (%d/%d)...", fr="Affichage des groupes de dossiers (%d/%d)...",
  hu="Mappacsoportok listázása (%d/%d)...", it="Elenco dei gruppi di cartelle (%d/%d)...",
  jp="フォルダー グループを一覧表示しています (%d/%d)...", kr="폴더 그룹 나열 중 (%d/%d)...",
  nl="Mapgroepen weergeven (%d/%d)...", pl="Wyświetlanie grup folderów (%d/%d)...",
  pt="Listando grupos de pastas (%d/%d)...", tr="Klasör grupları listeleniyor (%d/%d)...")
T("Directory scan cancelled.", ar="تم إلغاء فحص المجلدات.", cn="文件夹扫描已取消。",
  cs="Prohledávání složek bylo zrušeno.", de="Ordnerscan abgebrochen.",
  el="Η σάρωση φακέλων ακυρώθηκε.", es="Examen de carpetas cancelado.",
  fr="Analyse des dossiers annulée.", hu="A mappák átvizsgálása megszakadt.",
  it="Scansione delle cartelle annullata.", jp="フォルダーのスキャンはキャンセルされました。",
  kr="폴더 스캔이 취소되었습니다.", nl="Mappenscan geannuleerd.",
  pl="Skanowanie folderów anulowane.", pt="Verificação de pastas cancelada.",
  tr="Klasör taraması iptal edildi.")
T("Duplicate directory groups listed.", ar="اكتمل عرض مجموعات المجلدات المكررة.",
  cn="已列出重复文件夹组。", cs="Skupiny duplicitních složek jsou vypsány.",
  de="Gruppen doppelter Ordner aufgelistet.", el="Οι ομάδες διπλότυπων φακέλων εμφανίστηκαν.",
  es="Grupos de carpetas duplicadas mostrados.", fr="Groupes de dossiers en double affichés.",
  hu="Az ismétlődő mappák csoportjai listázva.", it="Gruppi di cartelle duplicate elencati.",
  jp="重複フォルダーのグループを一覧表示しました。", kr="중복 폴더 그룹을 표시했습니다.",
  nl="Groepen dubbele mappen weergegeven.", pl="Wyświetlono grupy zduplikowanych folderów.",
  pt="Grupos de pastas duplicadas listados.", tr="Yinelenen klasör grupları listelendi.")

# --- Removal to the Recycle Bin ---------------------------------------------

T("No files selected.", ar="لم يُؤشَّر على أي ملف.", cn="未勾选任何文件。",
  cs="Nejsou zaškrtnuty žádné soubory.", de="Keine Dateien markiert.",
  el="Δεν επιλέχθηκαν αρχεία.", es="No hay archivos marcados.", fr="Aucun fichier coché.",
  hu="Nincs bejelölt fájl.", it="Nessun file selezionato.",
  jp="ファイルがチェックされていません。", kr="선택한 파일이 없습니다.",
  nl="Geen bestanden aangevinkt.", pl="Nie zaznaczono żadnych plików.",
  pt="Nenhum arquivo marcado.", tr="İşaretli dosya yok.")
T("No directories selected.", ar="لم يُؤشَّر على أي مجلد.", cn="未勾选任何文件夹。",
  cs="Nejsou zaškrtnuty žádné složky.", de="Keine Ordner markiert.",
  el="Δεν επιλέχθηκαν φάκελοι.", es="No hay carpetas marcadas.", fr="Aucun dossier coché.",
  hu="Nincs bejelölt mappa.", it="Nessuna cartella selezionata.",
  jp="フォルダーがチェックされていません。", kr="선택한 폴더가 없습니다.",
  nl="Geen mappen aangevinkt.", pl="Nie zaznaczono żadnych folderów.",
  pt="Nenhuma pasta marcada.", tr="İşaretli klasör yok.")
T("Move %d files to Recycle Bin?", ar="هل تريد نقل %d من الملفات إلى سلة المحذوفات؟",
  cn="要将 %d 个文件移到回收站吗？", cs="Přesunout do koše zaškrtnuté soubory (%d)?",
  de="%d Dateien in den Papierkorb verschieben?",
  el="Μετακίνηση %d αρχείων στον Κάδο Ανακύκλωσης;",
  es="¿Mover %d archivos a la Papelera de reciclaje?",
  fr="Mettre %d fichiers à la corbeille ?", hu="%d fájl áthelyezése a Lomtárba?",
  it="Spostare %d file nel Cestino?", jp="%d 個のファイルをごみ箱に移動しますか?",
  kr="파일 %d개를 휴지통으로 이동하시겠습니까?", nl="%d bestanden naar de Prullenbak verplaatsen?",
  pl="Przenieść do Kosza zaznaczone pliki (%d)?", pt="Mover %d arquivos para a Lixeira?",
  tr="%d dosya Geri Dönüşüm Kutusu'na taşınsın mı?")
T("Move %d directories to Recycle Bin?", ar="هل تريد نقل %d من المجلدات إلى سلة المحذوفات؟",
  cn="要将 %d 个文件夹移到回收站吗？", cs="Přesunout do koše zaškrtnuté složky (%d)?",
  de="%d Ordner in den Papierkorb verschieben?",
  el="Μετακίνηση %d φακέλων στον Κάδο Ανακύκλωσης;",
  es="¿Mover %d carpetas a la Papelera de reciclaje?",
  fr="Mettre %d dossiers à la corbeille ?", hu="%d mappa áthelyezése a Lomtárba?",
  it="Spostare %d cartelle nel Cestino?", jp="%d 個のフォルダーをごみ箱に移動しますか?",
  kr="폴더 %d개를 휴지통으로 이동하시겠습니까?", nl="%d mappen naar de Prullenbak verplaatsen?",
  pl="Przenieść do Kosza zaznaczone foldery (%d)?", pt="Mover %d pastas para a Lixeira?",
  tr="%d klasör Geri Dönüşüm Kutusu'na taşınsın mı?")
T("Files were moved to the Recycle Bin.", ar="تم نقل الملفات إلى سلة المحذوفات.",
  cn="文件已移到回收站。", cs="Soubory byly přesunuty do koše.",
  de="Die Dateien wurden in den Papierkorb verschoben.",
  el="Τα αρχεία μετακινήθηκαν στον Κάδο Ανακύκλωσης.",
  es="Los archivos se movieron a la Papelera de reciclaje.",
  fr="Les fichiers ont été mis à la corbeille.", hu="A fájlok a Lomtárba kerültek.",
  it="I file sono stati spostati nel Cestino.", jp="ファイルをごみ箱に移動しました。",
  kr="파일을 휴지통으로 이동했습니다.", nl="De bestanden zijn naar de Prullenbak verplaatst.",
  pl="Pliki zostały przeniesione do Kosza.", pt="Os arquivos foram movidos para a Lixeira.",
  tr="Dosyalar Geri Dönüşüm Kutusu'na taşındı.")
T("Directories were moved to the Recycle Bin.", ar="تم نقل المجلدات إلى سلة المحذوفات.",
  cn="文件夹已移到回收站。", cs="Složky byly přesunuty do koše.",
  de="Die Ordner wurden in den Papierkorb verschoben.",
  el="Οι φάκελοι μετακινήθηκαν στον Κάδο Ανακύκλωσης.",
  es="Las carpetas se movieron a la Papelera de reciclaje.",
  fr="Les dossiers ont été mis à la corbeille.", hu="A mappák a Lomtárba kerültek.",
  it="Le cartelle sono state spostate nel Cestino.", jp="フォルダーをごみ箱に移動しました。",
  kr="폴더를 휴지통으로 이동했습니다.", nl="De mappen zijn naar de Prullenbak verplaatst.",
  pl="Foldery zostały przeniesione do Kosza.", pt="As pastas foram movidas para a Lixeira.",
  tr="Klasörler Geri Dönüşüm Kutusu'na taşındı.")
T("Failed to delete some files.", ar="تعذّر حذف بعض الملفات.", cn="部分文件删除失败。",
  cs="Některé soubory se nepodařilo odstranit.",
  de="Einige Dateien konnten nicht gelöscht werden.",
  el="Δεν ήταν δυνατή η διαγραφή ορισμένων αρχείων.",
  es="No se pudieron eliminar algunos archivos.", fr="Impossible de supprimer certains fichiers.",
  hu="Néhány fájlt nem sikerült törölni.", it="Impossibile eliminare alcuni file.",
  jp="一部のファイルを削除できませんでした。", kr="일부 파일을 삭제하지 못했습니다.",
  nl="Sommige bestanden konden niet worden verwijderd.",
  pl="Nie udało się usunąć niektórych plików.", pt="Não foi possível excluir alguns arquivos.",
  tr="Bazı dosyalar silinemedi.")
T("Failed to delete some directories.", ar="تعذّر حذف بعض المجلدات.",
  cn="部分文件夹删除失败。", cs="Některé složky se nepodařilo odstranit.",
  de="Einige Ordner konnten nicht gelöscht werden.",
  el="Δεν ήταν δυνατή η διαγραφή ορισμένων φακέλων.",
  es="No se pudieron eliminar algunas carpetas.", fr="Impossible de supprimer certains dossiers.",
  hu="Néhány mappát nem sikerült törölni.", it="Impossibile eliminare alcune cartelle.",
  jp="一部のフォルダーを削除できませんでした。", kr="일부 폴더를 삭제하지 못했습니다.",
  nl="Sommige mappen konden niet worden verwijderd.",
  pl="Nie udało się usunąć niektórych folderów.", pt="Não foi possível excluir algumas pastas.",
  tr="Bazı klasörler silinemedi.")

# --- CSV export ---------------------------------------------------------------

T("Cannot write the file %s: %s", ar="تعذّرت كتابة الملف %s: %s", cn="无法写入文件 %s：%s",
  cs="Soubor %s nelze zapsat: %s", de="Die Datei %s kann nicht geschrieben werden: %s",
  el="Δεν είναι δυνατή η εγγραφή του αρχείου %s: %s",
  es="No se puede escribir el archivo %s: %s", fr="Impossible d'écrire le fichier %s : %s",
  hu="A(z) %s fájl nem írható: %s", it="Impossibile scrivere il file %s: %s",
  jp="ファイル %s を書き込めません: %s", kr="파일 %s을(를) 쓸 수 없습니다: %s",
  nl="Kan het bestand %s niet schrijven: %s", pl="Nie można zapisać pliku %s: %s",
  pt="Não é possível gravar o arquivo %s: %s", tr="%s dosyası yazılamıyor: %s")


# --- Open location, About ---------------------------------------------------

T("Please select an item first.", ar="يرجى تحديد عنصر أولاً.", cn="请先选择一项。",
  cs="Nejprve vyberte položku.", de="Bitte wählen Sie zuerst einen Eintrag aus.",
  el="Επιλέξτε πρώτα ένα στοιχείο.", es="Seleccione primero un elemento.",
  fr="Veuillez d'abord sélectionner un élément.", hu="Először jelöljön ki egy elemet.",
  it="Selezionare prima un elemento.", jp="先に項目を選択してください。",
  kr="먼저 항목을 선택하십시오.", nl="Selecteer eerst een item.", pl="Najpierw wybierz element.",
  pt="Selecione um item primeiro.", tr="Lütfen önce bir öğe seçin.")
T("No file path available for the selected item.", ar="لا يتوفر مسار ملف للعنصر المحدد.",
  cn="所选项没有可用的文件路径。", cs="Pro vybranou položku není k dispozici cesta k souboru.",
  de="Für den ausgewählten Eintrag ist kein Dateipfad verfügbar.",
  el="Δεν υπάρχει διαθέσιμη διαδρομή αρχείου για το επιλεγμένο στοιχείο.",
  es="No hay ninguna ruta de archivo disponible para el elemento seleccionado.",
  fr="Aucun chemin de fichier n'est disponible pour l'élément sélectionné.",
  hu="A kijelölt elemhez nem tartozik fájlelérési út.",
  it="Nessun percorso file disponibile per l'elemento selezionato.",
  jp="選択した項目のファイル パスがありません。", kr="선택한 항목의 파일 경로가 없습니다.",
  nl="Er is geen bestandspad beschikbaar voor het geselecteerde item.",
  pl="Brak ścieżki pliku dla wybranego elementu.",
  pt="Nenhum caminho de arquivo disponível para o item selecionado.",
  tr="Seçili öğe için dosya yolu yok.")
T("File does not exist: ", ar="الملف غير موجود: ", cn="文件不存在：", cs="Soubor neexistuje: ",
  de="Die Datei existiert nicht: ", el="Το αρχείο δεν υπάρχει: ", es="El archivo no existe: ",
  fr="Le fichier n'existe pas : ", hu="A fájl nem létezik: ", it="Il file non esiste: ",
  jp="ファイルが存在しません: ", kr="파일이 없습니다: ", nl="Het bestand bestaat niet: ",
  pl="Plik nie istnieje: ", pt="O arquivo não existe: ", tr="Dosya yok: ")
T("Directory does not exist: ", ar="المجلد غير موجود: ", cn="文件夹不存在：",
  cs="Složka neexistuje: ", de="Der Ordner existiert nicht: ", el="Ο φάκελος δεν υπάρχει: ",
  es="La carpeta no existe: ", fr="Le dossier n'existe pas : ", hu="A mappa nem létezik: ",
  it="La cartella non esiste: ", jp="フォルダーが存在しません: ", kr="폴더가 없습니다: ",
  nl="De map bestaat niet: ", pl="Folder nie istnieje: ", pt="A pasta não existe: ",
  tr="Klasör yok: ")
T("Version:", ar="الإصدار:", cn="版本：", cs="Verze:", de="Version:", el="Έκδοση:",
  es="Versión:", fr="Version :", hu="Verzió:", it="Versione:", jp="バージョン:", kr="버전:",
  nl="Versie:", pl="Wersja:", pt="Versão:", tr="Sürüm:")
T("Website:", ar="الموقع الإلكتروني:", cn="网站：", cs="Web:", de="Website:",
  el="Ιστότοπος:", es="Sitio web:", fr="Site web :", hu="Weboldal:", it="Sito web:",
  jp="Web サイト:", kr="웹사이트:", nl="Website:", pl="Witryna:", pt="Site:",
  tr="Web sitesi:")
T("This software is protected by copyright law and international treaties. "
  "Unauthorized copying or distribution of this program, or any portion of it, "
  "may result in severe civil and criminal penalties.",
  ar="هذا البرنامج محمي بموجب قوانين حقوق النشر والمعاهدات الدولية. قد يؤدي نسخ هذا البرنامج "
     "أو توزيعه أو أي جزء منه دون تصريح إلى عقوبات مدنية وجنائية صارمة.",
  cn="本软件受著作权法和国际条约保护。未经授权复制或分发本程序或其任何部分，可能导致严重的民事和刑事处罚。",
  cs="Tento software je chráněn autorským zákonem a mezinárodními smlouvami. Neoprávněné "
     "kopírování nebo šíření tohoto programu nebo jakékoli jeho části může mít za následek "
     "přísné občanskoprávní i trestní sankce.",
  de="Diese Software ist durch Urheberrechtsgesetze und internationale Verträge geschützt. "
     "Unerlaubte Vervielfältigung oder Verbreitung dieses Programms oder eines Teils davon "
     "kann schwere zivil- und strafrechtliche Folgen nach sich ziehen.",
  el="Αυτό το λογισμικό προστατεύεται από τη νομοθεσία περί πνευματικής ιδιοκτησίας και από "
     "διεθνείς συνθήκες. Η μη εξουσιοδοτημένη αντιγραφή ή διανομή αυτού του προγράμματος ή "
     "οποιουδήποτε τμήματός του μπορεί να επιφέρει αυστηρές αστικές και ποινικές κυρώσεις.",
  es="Este software está protegido por las leyes de derechos de autor y los tratados "
     "internacionales. La copia o distribución no autorizada de este programa, o de cualquier "
     "parte de él, puede dar lugar a graves sanciones civiles y penales.",
  fr="Ce logiciel est protégé par la législation sur le droit d'auteur et par des traités "
     "internationaux. Toute copie ou distribution non autorisée de ce programme, ou de toute "
     "partie de celui-ci, peut entraîner de lourdes sanctions civiles et pénales.",
  hu="Ezt a szoftvert a szerzői jogi törvények és nemzetközi egyezmények védik. A program "
     "vagy bármely részének engedély nélküli másolása vagy terjesztése súlyos polgári jogi és "
     "büntetőjogi következményekkel járhat.",
  it="Questo software è protetto dalle leggi sul diritto d'autore e dai trattati "
     "internazionali. La copia o la distribuzione non autorizzata di questo programma, o di "
     "una sua parte, può comportare gravi sanzioni civili e penali.",
  jp="このソフトウェアは、著作権法および国際条約によって保護されています。このプログラムの全部"
     "または一部を無断で複製または配布すると、民事上および刑事上の厳しい罰則の対象となる場合があります。",
  kr="이 소프트웨어는 저작권법 및 국제 조약에 의해 보호됩니다. 이 프로그램의 전부 또는 일부를 "
     "무단으로 복제하거나 배포하면 엄중한 민사 및 형사 처벌을 받을 수 있습니다.",
  nl="Deze software wordt beschermd door het auteursrecht en internationale verdragen. Het "
     "zonder toestemming kopiëren of verspreiden van dit programma, of een deel ervan, kan "
     "leiden tot zware civielrechtelijke en strafrechtelijke sancties.",
  pl="To oprogramowanie jest chronione prawem autorskim oraz umowami międzynarodowymi. "
     "Nieuprawnione kopiowanie lub rozpowszechnianie tego programu lub jakiejkolwiek jego "
     "części może skutkować surowymi sankcjami cywilnymi i karnymi.",
  pt="Este software é protegido pelas leis de direitos autorais e por tratados "
     "internacionais. A cópia ou distribuição não autorizada deste programa, ou de qualquer "
     "parte dele, pode resultar em severas penalidades civis e criminais.",
  tr="Bu yazılım telif hakkı yasaları ve uluslararası antlaşmalarla korunmaktadır. Bu "
     "programın veya herhangi bir bölümünün izinsiz kopyalanması ya da dağıtılması ağır "
     "hukuki ve cezai yaptırımlara yol açabilir.")
T("All rights reserved.", ar="جميع الحقوق محفوظة.", cn="保留所有权利。",
  cs="Všechna práva vyhrazena.", de="Alle Rechte vorbehalten.",
  el="Με την επιφύλαξη παντός δικαιώματος.", es="Todos los derechos reservados.",
  fr="Tous droits réservés.", hu="Minden jog fenntartva.", it="Tutti i diritti riservati.",
  jp="無断複製・転載を禁じます。", kr="모든 권리 보유.", nl="Alle rechten voorbehouden.",
  pl="Wszelkie prawa zastrzeżone.", pt="Todos os direitos reservados.",
  tr="Tüm hakları saklıdır.")

# --- Language choice --------------------------------------------------------

T("Cannot save the language choice to %s.", ar="تعذّر حفظ اختيار اللغة في %s.",
  cn="无法将语言选择保存到 %s。", cs="Volbu jazyka nelze uložit do %s.",
  de="Die Sprachauswahl kann nicht in %s gespeichert werden.",
  el="Δεν είναι δυνατή η αποθήκευση της επιλογής γλώσσας στο %s.",
  es="No se puede guardar el idioma elegido en %s.",
  fr="Impossible d'enregistrer le choix de la langue dans %s.",
  hu="A nyelvválasztás nem menthető ide: %s.", it="Impossibile salvare la lingua scelta in %s.",
  jp="言語の選択を %s に保存できません。", kr="언어 선택을 %s에 저장할 수 없습니다.",
  nl="De taalkeuze kan niet worden opgeslagen in %s.",
  pl="Nie można zapisać wyboru języka w %s.",
  pt="Não é possível salvar a escolha de idioma em %s.",
  tr="Dil seçimi şuraya kaydedilemiyor: %s.")

# --- Version check and update -----------------------------------------------

T("The new version %s is available", ar="الإصدار الجديد %s متوفر",
  cn="新版本 %s 现已推出", cs="Je k dispozici nová verze %s",
  de="Die neue Version %s ist verfügbar", el="Η νέα έκδοση %s είναι διαθέσιμη",
  es="La nueva versión %s está disponible", fr="La nouvelle version %s est disponible",
  hu="Elérhető az új verzió: %s", it="È disponibile la nuova versione %s",
  jp="新しいバージョン %s を利用できます", kr="새 버전 %s을(를) 사용할 수 있습니다",
  nl="De nieuwe versie %s is beschikbaar", pl="Dostępna jest nowa wersja %s",
  pt="A nova versão %s está disponível", tr="Yeni sürüm %s kullanıma sunuldu")
T("This version of the software is out of date. You must download the current version %s "
  "to continue using the software.",
  ar="هذا الإصدار من البرنامج قديم. يجب عليك تنزيل الإصدار الحالي %s لمتابعة استخدام البرنامج.",
  cn="此版本的软件已过期。您必须下载当前版本 %s 才能继续使用本软件。",
  cs="Tato verze softwaru je zastaralá. Chcete-li software dál používat, musíte stáhnout "
     "aktuální verzi %s.",
  de="Diese Version der Software ist veraltet. Sie müssen die aktuelle Version %s "
     "herunterladen, um die Software weiter verwenden zu können.",
  el="Αυτή η έκδοση του λογισμικού δεν είναι πλέον ενημερωμένη. Πρέπει να κατεβάσετε την "
     "τρέχουσα έκδοση %s για να συνεχίσετε να χρησιμοποιείτε το λογισμικό.",
  es="Esta versión del software está obsoleta. Debe descargar la versión actual %s para "
     "seguir usando el software.",
  fr="Cette version du logiciel est obsolète. Vous devez télécharger la version actuelle %s "
     "pour continuer à utiliser le logiciel.",
  hu="A szoftver ezen verziója elavult. A szoftver további használatához le kell töltenie "
     "a jelenlegi verziót (%s).",
  it="Questa versione del software non è aggiornata. Per continuare a usare il software è "
     "necessario scaricare la versione attuale %s.",
  jp="このバージョンのソフトウェアは古くなっています。ソフトウェアを引き続き使用するには、"
     "最新バージョン %s をダウンロードする必要があります。",
  kr="이 버전의 소프트웨어는 오래되었습니다. 소프트웨어를 계속 사용하려면 최신 버전 %s을(를) "
     "다운로드해야 합니다.",
  nl="Deze versie van de software is verouderd. U moet de huidige versie %s downloaden om de "
     "software te kunnen blijven gebruiken.",
  pl="Ta wersja oprogramowania jest nieaktualna. Aby nadal korzystać z oprogramowania, "
     "musisz pobrać bieżącą wersję %s.",
  pt="Esta versão do software está desatualizada. Você precisa baixar a versão atual %s para "
     "continuar usando o software.",
  tr="Yazılımın bu sürümü güncel değil. Yazılımı kullanmaya devam etmek için güncel %s "
     "sürümünü indirmeniz gerekir.")
T("What's new:", ar="ما الجديد:", cn="新增内容：", cs="Novinky:", de="Neuerungen:",
  el="Τι νέο υπάρχει:", es="Novedades:", fr="Nouveautés :", hu="Újdonságok:",
  it="Novità:", jp="新機能:", kr="새로운 기능:", nl="Wat is er nieuw:", pl="Co nowego:",
  pt="Novidades:", tr="Yenilikler:")
T("&Update Now", ar="التحديث الآن", cn="立即更新", cs="Aktualizovat", de="Aktualisieren",
  el="Ενημέρωση τώρα", es="Actualizar ahora", fr="Mettre à jour", hu="Frissítés most",
  it="Aggiorna ora", jp="今すぐ更新", kr="지금 업데이트", nl="Nu bijwerken",
  pl="Aktualizuj teraz", pt="Atualizar agora", tr="Şimdi güncelle")
T("&Skip", ar="تخطي", cn="跳过", cs="Přeskočit", de="Überspringen", el="Παράλειψη",
  es="Omitir", fr="Ignorer", hu="Kihagyás", it="Salta", jp="スキップ", kr="건너뛰기",
  nl="Overslaan", pl="Pomiń", pt="Pular", tr="Atla")
T("&Abort", ar="إلغاء", cn="中止", cs="Přerušit", de="Abbrechen", el="Ματαίωση",
  es="Anular", fr="Abandonner", hu="Megszakítás", it="Interrompi", jp="中止", kr="중단",
  nl="Afbreken", pl="Przerwij", pt="Anular", tr="Durdur")
T("Cannot find downloaded file.", ar="تعذّر العثور على الملف الذي تم تنزيله.",
  cn="找不到已下载的文件。", cs="Stažený soubor nebyl nalezen.",
  de="Die heruntergeladene Datei wurde nicht gefunden.", el="Δεν βρέθηκε το αρχείο που λήφθηκε.",
  es="No se encuentra el archivo descargado.", fr="Impossible de trouver le fichier téléchargé.",
  hu="A letöltött fájl nem található.", it="Impossibile trovare il file scaricato.",
  jp="ダウンロードしたファイルが見つかりません。", kr="다운로드한 파일을 찾을 수 없습니다.",
  nl="Het gedownloade bestand is niet gevonden.", pl="Nie można znaleźć pobranego pliku.",
  pt="Não foi possível encontrar o arquivo baixado.", tr="İndirilen dosya bulunamadı.")
T("Failed to download update. Please download manually on website.",
  ar="تعذّر تنزيل التحديث. يرجى تنزيله يدويًا من الموقع الإلكتروني.",
  cn="下载更新失败。请从网站手动下载。",
  cs="Aktualizaci se nepodařilo stáhnout. Stáhněte ji prosím ručně z webu.",
  de="Das Update konnte nicht heruntergeladen werden. Bitte laden Sie es manuell von der "
     "Website herunter.",
  el="Η λήψη της ενημέρωσης απέτυχε. Κάντε λήψη με μη αυτόματο τρόπο από τον ιστότοπο.",
  es="No se pudo descargar la actualización. Descárguela manualmente desde el sitio web.",
  fr="Impossible de télécharger la mise à jour. Veuillez la télécharger manuellement sur le "
     "site web.",
  hu="A frissítés letöltése nem sikerült. Töltse le kézzel a weboldalról.",
  it="Impossibile scaricare l'aggiornamento. Scaricarlo manualmente dal sito web.",
  jp="更新プログラムをダウンロードできませんでした。Web サイトから手動でダウンロードしてください。",
  kr="업데이트를 다운로드하지 못했습니다. 웹사이트에서 직접 다운로드하십시오.",
  nl="Het downloaden van de update is mislukt. Download de update handmatig via de website.",
  pl="Nie udało się pobrać aktualizacji. Pobierz ją ręcznie z witryny.",
  pt="Falha ao baixar a atualização. Baixe-a manualmente no site.",
  tr="Güncelleştirme indirilemedi. Lütfen web sitesinden el ile indirin.")
T("Download is cancelled. Please download manually.",
  ar="تم إلغاء التنزيل. يرجى التنزيل يدويًا.", cn="下载已取消。请手动下载。",
  cs="Stahování bylo zrušeno. Stáhněte prosím aktualizaci ručně.",
  de="Der Download wurde abgebrochen. Bitte laden Sie das Update manuell herunter.",
  el="Η λήψη ακυρώθηκε. Κάντε λήψη με μη αυτόματο τρόπο.",
  es="Se canceló la descarga. Descargue la actualización manualmente.",
  fr="Le téléchargement a été annulé. Veuillez télécharger la mise à jour manuellement.",
  hu="A letöltés megszakadt. Töltse le kézzel a frissítést.",
  it="Download annullato. Scaricare l'aggiornamento manualmente.",
  jp="ダウンロードはキャンセルされました。手動でダウンロードしてください。",
  kr="다운로드가 취소되었습니다. 직접 다운로드하십시오.",
  nl="Het downloaden is geannuleerd. Download de update handmatig.",
  pl="Pobieranie zostało anulowane. Pobierz aktualizację ręcznie.",
  pt="O download foi cancelado. Baixe a atualização manualmente.",
  tr="İndirme iptal edildi. Lütfen güncelleştirmeyi el ile indirin.")

T("The update server is not reached over HTTPS: %s",
  ar="لا يتم الوصول إلى خادم التحديث عبر HTTPS: %s",
  cn="未通过 HTTPS 连接更新服务器：%s",
  cs="Server aktualizací není dostupný přes HTTPS: %s",
  de="Der Update-Server wird nicht über HTTPS erreicht: %s",
  el="Ο διακομιστής ενημερώσεων δεν είναι προσβάσιμος μέσω HTTPS: %s",
  es="No se accede al servidor de actualizaciones mediante HTTPS: %s",
  fr="Le serveur de mises à jour n'est pas joint en HTTPS : %s",
  hu="A frissítési kiszolgáló nem HTTPS-en keresztül érhető el: %s",
  it="Il server degli aggiornamenti non è raggiunto tramite HTTPS: %s",
  jp="更新サーバーに HTTPS で接続していません: %s",
  kr="업데이트 서버에 HTTPS로 연결되지 않습니다: %s",
  nl="De updateserver wordt niet via HTTPS bereikt: %s",
  pl="Serwer aktualizacji nie jest osiągany przez HTTPS: %s",
  pt="O servidor de atualização não é acessado por HTTPS: %s",
  tr="Güncelleştirme sunucusuna HTTPS üzerinden ulaşılmıyor: %s")
T("Cannot create file %s: %s", ar="تعذّر إنشاء الملف %s: %s", cn="无法创建文件 %s：%s",
  cs="Soubor %s nelze vytvořit: %s", de="Die Datei %s kann nicht erstellt werden: %s",
  el="Δεν είναι δυνατή η δημιουργία του αρχείου %s: %s",
  es="No se puede crear el archivo %s: %s", fr="Impossible de créer le fichier %s : %s",
  hu="A(z) %s fájl nem hozható létre: %s", it="Impossibile creare il file %s: %s",
  jp="ファイル %s を作成できません: %s", kr="파일 %s을(를) 만들 수 없습니다: %s",
  nl="Kan het bestand %s niet maken: %s", pl="Nie można utworzyć pliku %s: %s",
  pt="Não é possível criar o arquivo %s: %s", tr="%s dosyası oluşturulamıyor: %s")
T("Cannot write file %s: %s", ar="تعذّرت الكتابة في الملف %s: %s", cn="无法写入文件 %s：%s",
  cs="Do souboru %s nelze zapisovat: %s", de="Die Datei %s kann nicht geschrieben werden: %s",
  el="Δεν είναι δυνατή η εγγραφή στο αρχείο %s: %s",
  es="No se puede escribir en el archivo %s: %s", fr="Impossible d'écrire dans le fichier %s : %s",
  hu="A(z) %s fájl nem írható: %s", it="Impossibile scrivere il file %s: %s",
  jp="ファイル %s に書き込めません: %s", kr="파일 %s에 쓸 수 없습니다: %s",
  nl="Kan niet naar het bestand %s schrijven: %s", pl="Nie można zapisać pliku %s: %s",
  pt="Não é possível gravar o arquivo %s: %s", tr="%s dosyasına yazılamıyor: %s")


T("The download of the installer is incomplete.",
  ar="تنزيل برنامج التثبيت غير مكتمل.", cn="安装程序下载不完整。",
  cs="Stažení instalačního programu není úplné.", de="Der Download des Installationsprogramms ist unvollständig.",
  el="Η λήψη του προγράμματος εγκατάστασης είναι ημιτελής.",
  es="La descarga del instalador está incompleta.", fr="Le téléchargement du programme d'installation est incomplet.",
  hu="A telepítő letöltése hiányos.", it="Il download del programma di installazione è incompleto.",
  jp="インストーラーのダウンロードが不完全です。", kr="설치 프로그램 다운로드가 완료되지 않았습니다.",
  nl="De download van het installatieprogramma is onvolledig.", pl="Pobieranie instalatora jest niekompletne.",
  pt="O download do instalador está incompleto.", tr="Yükleyicinin indirilmesi eksik.")
T("The installer is too large.",
  ar="برنامج التثبيت كبير جدًا.", cn="安装程序太大。", cs="Instalační program je příliš velký.",
  de="Das Installationsprogramm ist zu groß.", el="Το πρόγραμμα εγκατάστασης είναι πολύ μεγάλο.",
  es="El instalador es demasiado grande.", fr="Le programme d'installation est trop volumineux.",
  hu="A telepítő túl nagy.", it="Il programma di installazione è troppo grande.",
  jp="インストーラーが大きすぎます。", kr="설치 프로그램이 너무 큽니다.",
  nl="Het installatieprogramma is te groot.", pl="Instalator jest zbyt duży.",
  pt="O instalador é grande demais.", tr="Yükleyici çok büyük.")
T("The download took too long.",
  ar="استغرق التنزيل وقتًا طويلاً جدًا.", cn="下载耗时过长。", cs="Stahování trvalo příliš dlouho.",
  de="Der Download hat zu lange gedauert.", el="Η λήψη διήρκεσε πάρα πολύ.",
  es="La descarga tardó demasiado.", fr="Le téléchargement a pris trop de temps.",
  hu="A letöltés túl sokáig tartott.", it="Il download ha richiesto troppo tempo.",
  jp="ダウンロードに時間がかかりすぎました。", kr="다운로드 시간이 너무 오래 걸렸습니다.",
  nl="De download duurde te lang.", pl="Pobieranie trwało zbyt długo.",
  pt="O download demorou demais.", tr="İndirme çok uzun sürdü.")

# --- What a result says of itself, errors, settings, notification -----------

T("%s files, %s groups, %s in copies", ar="%s ملف، %s مجموعة، %s في النسخ المكررة",
  cn="%s 个文件，%s 个组，副本共 %s", cs="%s souborů, %s skupin, %s v kopiích",
  de="%s Dateien, %s Gruppen, %s in Kopien", el="%s αρχεία, %s ομάδες, %s σε αντίγραφα",
  es="%s archivos, %s grupos, %s en copias", fr="%s fichiers, %s groupes, %s en copies",
  hu="%s fájl, %s csoport, %s másolatokban", it="%s file, %s gruppi, %s in copie",
  jp="%s ファイル、%s グループ、コピー %s", kr="파일 %s개, 그룹 %s개, 사본 %s",
  nl="%s bestanden, %s groepen, %s in kopieën", pl="%s plików, %s grup, %s w kopiach",
  pt="%s arquivos, %s grupos, %s em cópias", tr="%s dosya, %s grup, kopyalarda %s")
# --- What a scan could not read or left out -----------------------------------

T("%d listed folders do not exist", ar="%d مجلدات مدرجة غير موجودة", cn="%d 个列出的文件夹不存在",
  cs="%d uvedených složek neexistuje", de="%d aufgeführte Ordner existieren nicht",
  el="%d φάκελοι της λίστας δεν υπάρχουν", es="%d carpetas de la lista no existen",
  fr="%d dossiers de la liste n'existent pas", hu="%d listázott mappa nem létezik",
  it="%d cartelle dell'elenco non esistono", jp="一覧の %d 個のフォルダーが存在しません",
  kr="목록의 폴더 %d개가 없습니다", nl="%d opgegeven mappen bestaan niet",
  pl="%d folderów z listy nie istnieje", pt="%d pastas da lista não existem",
  tr="listedeki %d klasör yok")
T("%d folders could not be read", ar="تعذرت قراءة %d مجلدات", cn="%d 个文件夹无法读取",
  cs="%d složek nelze přečíst", de="%d Ordner konnten nicht gelesen werden",
  el="%d φάκελοι δεν ήταν δυνατό να διαβαστούν", es="No se pudieron leer %d carpetas",
  fr="%d dossiers n'ont pas pu être lus", hu="%d mappa nem olvasható",
  it="Impossibile leggere %d cartelle", jp="%d 個のフォルダーを読み取れませんでした",
  kr="폴더 %d개를 읽을 수 없습니다", nl="%d mappen konden niet worden gelezen",
  pl="Nie można odczytać %d folderów", pt="Não foi possível ler %d pastas",
  tr="%d klasör okunamadı")
T("%d entries could not be examined", ar="تعذر فحص %d عناصر", cn="%d 个条目无法检查",
  cs="%d položek nelze prozkoumat", de="%d Einträge konnten nicht untersucht werden",
  el="%d καταχωρίσεις δεν ήταν δυνατό να εξεταστούν", es="No se pudieron examinar %d entradas",
  fr="%d entrées n'ont pas pu être examinées", hu="%d bejegyzés nem vizsgálható",
  it="Impossibile esaminare %d voci", jp="%d 個の項目を調べられませんでした",
  kr="항목 %d개를 확인할 수 없습니다", nl="%d items konden niet worden onderzocht",
  pl="Nie można zbadać %d pozycji", pt="Não foi possível examinar %d entradas",
  tr="%d öğe incelenemedi")
T("%d names are not valid UTF-8 and were left out", ar="%d أسماء ليست UTF-8 صالحة وتم تجاهلها",
  cn="%d 个名称不是有效的 UTF-8，已略过", cs="%d názvů není platné UTF-8 a byly vynechány",
  de="%d Namen sind kein gültiges UTF-8 und wurden ausgelassen",
  el="%d ονόματα δεν είναι έγκυρο UTF-8 και παραλείφθηκαν",
  es="%d nombres no son UTF-8 válido y se omitieron", fr="%d noms ne sont pas en UTF-8 valide et ont été ignorés",
  hu="%d név nem érvényes UTF-8, kimaradt", it="%d nomi non sono UTF-8 valido e sono stati esclusi",
  jp="%d 個の名前が有効な UTF-8 ではないため除外しました", kr="이름 %d개가 올바른 UTF-8이 아니어서 제외했습니다",
  nl="%d namen zijn geen geldige UTF-8 en zijn overgeslagen", pl="%d nazw nie jest poprawnym UTF-8 i pominięto je",
  pt="%d nomes não são UTF-8 válido e foram deixados de fora", tr="%d ad geçerli UTF-8 değil ve atlandı")
T("%d folders lie too deep to open", ar="%d مجلدات أعمق من أن تُفتح", cn="%d 个文件夹层级太深，无法打开",
  cs="%d složek je příliš hluboko na otevření", de="%d Ordner liegen zu tief, um sie zu öffnen",
  el="%d φάκελοι βρίσκονται πολύ βαθιά για να ανοιχτούν", es="%d carpetas están demasiado profundas para abrirlas",
  fr="%d dossiers sont trop profonds pour être ouverts", hu="%d mappa túl mélyen van a megnyitáshoz",
  it="%d cartelle sono troppo profonde per essere aperte", jp="%d 個のフォルダーは階層が深すぎて開けません",
  kr="폴더 %d개가 너무 깊어 열 수 없습니다", nl="%d mappen liggen te diep om te openen",
  pl="%d folderów leży zbyt głęboko, by je otworzyć", pt="%d pastas estão fundas demais para abrir",
  tr="%d klasör açılamayacak kadar derinde")
T("%d system or trash folders were left out", ar="تم تجاهل %d مجلدات نظام أو سلة مهملات",
  cn="已略过 %d 个系统或回收站文件夹", cs="%d systémových složek nebo složek koše bylo vynecháno",
  de="%d System- oder Papierkorbordner wurden ausgelassen",
  el="%d φάκελοι συστήματος ή κάδου παραλείφθηκαν", es="Se omitieron %d carpetas del sistema o de la papelera",
  fr="%d dossiers système ou de corbeille ont été ignorés", hu="%d rendszer- vagy kukamappa kimaradt",
  it="%d cartelle di sistema o del cestino sono state escluse", jp="%d 個のシステムまたはごみ箱のフォルダーを除外しました",
  kr="시스템 또는 휴지통 폴더 %d개를 제외했습니다", nl="%d systeem- of prullenbakmappen zijn overgeslagen",
  pl="Pominięto %d folderów systemowych lub kosza", pt="%d pastas do sistema ou da lixeira foram deixadas de fora",
  tr="%d sistem veya çöp kutusu klasörü atlandı")
T("%d file masks are not valid", ar="%d أقنعة ملفات غير صالحة", cn="%d 个文件掩码无效",
  cs="%d masek souborů je neplatných", de="%d Dateimasken sind ungültig", el="%d μάσκες αρχείων δεν είναι έγκυρες",
  es="%d máscaras de archivo no son válidas", fr="%d masques de fichiers ne sont pas valides",
  hu="%d fájlmaszk érvénytelen", it="%d maschere di file non sono valide", jp="%d 個のファイル マスクが無効です",
  kr="파일 마스크 %d개가 올바르지 않습니다", nl="%d bestandsmaskers zijn ongeldig",
  pl="%d masek plików jest nieprawidłowych", pt="%d máscaras de arquivo não são válidas",
  tr="%d dosya maskesi geçersiz")
T("%d files could not be read or changed during the scan", ar="تعذرت قراءة %d ملفات أو تغيرت أثناء الفحص",
  cn="%d 个文件无法读取或在扫描期间发生了变化", cs="%d souborů nelze přečíst nebo se během prohledávání změnily",
  de="%d Dateien konnten nicht gelesen werden oder änderten sich während der Suche",
  el="%d αρχεία δεν διαβάστηκαν ή άλλαξαν κατά τη σάρωση",
  es="%d archivos no se pudieron leer o cambiaron durante el análisis",
  fr="%d fichiers n'ont pas pu être lus ou ont changé pendant l'analyse",
  hu="%d fájl nem olvasható, vagy megváltozott a keresés közben",
  it="%d file non sono leggibili o sono cambiati durante la scansione",
  jp="%d 個のファイルを読み取れなかったか、スキャン中に変更されました",
  kr="파일 %d개를 읽을 수 없거나 검사 중에 바뀌었습니다",
  nl="%d bestanden konden niet worden gelezen of zijn tijdens de scan gewijzigd",
  pl="Nie można odczytać %d plików lub zmieniły się podczas skanowania",
  pt="%d arquivos não puderam ser lidos ou mudaram durante a verificação",
  tr="%d dosya okunamadı veya tarama sırasında değişti")

T("%s files", ar="%s ملف", cn="%s 个文件", cs="%s souborů", de="%s Dateien", el="%s αρχεία",
  es="%s archivos", fr="%s fichiers", hu="%s fájl", it="%s file", jp="%s ファイル",
  kr="파일 %s개", nl="%s bestanden", pl="%s plików", pt="%s arquivos", tr="%s dosya")
T("%s folder groups", ar="%s مجموعة مجلدات", cn="%s 个文件夹组", cs="%s skupin složek",
  de="%s Ordnergruppen", el="%s ομάδες φακέλων", es="%s grupos de carpetas",
  fr="%s groupes de dossiers", hu="%s mappacsoport", it="%s gruppi di cartelle",
  jp="%s フォルダー グループ", kr="폴더 그룹 %s개", nl="%s mapgroepen", pl="%s grup folderów",
  pt="%s grupos de pastas", tr="%s klasör grubu")
T("%s of %s groups shown: Max groups", ar="عُرضت %s من %s مجموعة: الحد الأقصى للمجموعات",
  cn="显示 %s / %s 个组：最大组数", cs="Zobrazeno %s z %s skupin: Max. skupin",
  de="%s von %s Gruppen angezeigt: Max. Gruppen", el="Εμφανίζονται %s από %s ομάδες: Μέγ. ομάδες",
  es="Se muestran %s de %s grupos: Máx. grupos", fr="%s groupes affichés sur %s : Groupes max.",
  hu="%s / %s csoport látható: Max. csoportok", it="Mostrati %s gruppi su %s: Max gruppi",
  jp="%s / %s グループを表示: 最大グループ数", kr="그룹 %s/%s개 표시: 최대 그룹 수",
  nl="%s van %s groepen getoond: Max. groepen", pl="Pokazano %s z %s grup: Maks. grup",
  pt="%s de %s grupos exibidos: Máx. de grupos", tr="%s / %s grup gösteriliyor: En fazla grup")
T("files under %s MB were left out: Min size", ar="استُبعدت الملفات الأصغر من %s MB: الحد الأدنى للحجم",
  cn="小于 %s MB 的文件未计入：最小大小", cs="soubory pod %s MB vynechány: Min. velikost",
  de="Dateien unter %s MB ausgelassen: Mindestgröße", el="παραλείφθηκαν αρχεία κάτω από %s MB: Ελάχ. μέγεθος",
  es="se omitieron los archivos de menos de %s MB: Tamaño mín.",
  fr="fichiers de moins de %s MB ignorés : Taille min.", hu="%s MB alatti fájlok kihagyva: Min. méret",
  it="file sotto %s MB esclusi: Dimensione min.", jp="%s MB 未満のファイルは除外: 最小サイズ",
  kr="%s MB 미만 파일 제외: 최소 크기", nl="bestanden onder %s MB weggelaten: Min. grootte",
  pl="pominięto pliki poniżej %s MB: Min. rozmiar", pt="arquivos abaixo de %s MB omitidos: Tamanho mín.",
  tr="%s MB altındaki dosyalar dışarıda bırakıldı: En küçük boyut")
T("all but the first file of each group are checked",
  ar="تم تأشير كل ملفات المجموعة عدا الأول", cn="每组除第一个文件外均已勾选",
  cs="zaškrtnuty jsou všechny soubory skupiny kromě prvního",
  de="in jeder Gruppe sind alle Dateien außer der ersten markiert",
  el="σε κάθε ομάδα έχουν επιλεγεί όλα τα αρχεία εκτός από το πρώτο",
  es="en cada grupo están marcados todos los archivos menos el primero",
  fr="dans chaque groupe, tous les fichiers sauf le premier sont cochés",
  hu="minden csoportban az első kivételével minden fájl be van jelölve",
  it="in ogni gruppo sono selezionati tutti i file tranne il primo",
  jp="各グループの先頭以外のファイルにチェックが付いています",
  kr="각 그룹에서 첫 번째 파일을 제외한 모든 파일이 선택되어 있습니다",
  nl="in elke groep zijn alle bestanden behalve het eerste aangevinkt",
  pl="w każdej grupie zaznaczone są wszystkie pliki oprócz pierwszego",
  pt="em cada grupo, todos os arquivos exceto o primeiro estão marcados",
  tr="her grupta ilki dışındaki tüm dosyalar işaretli")
T("%s bytes", ar="%s بايت", cn="%s 字节", cs="%s bajtů", de="%s Byte", el="%s byte",
  es="%s bytes", fr="%s octets", hu="%s bájt", it="%s byte", jp="%s バイト", kr="%s바이트",
  nl="%s bytes", pl="%s bajtów", pt="%s bytes", tr="%s bayt")
T("Scan progress", ar="تقدم الفحص", cn="扫描进度", cs="Průběh prohledávání", de="Scanfortschritt",
  el="Πρόοδος σάρωσης", es="Progreso del examen", fr="Progression de l'analyse",
  hu="Vizsgálat állapota", it="Avanzamento scansione", jp="スキャンの進行状況", kr="스캔 진행률",
  nl="Voortgang van de scan", pl="Postęp skanowania", pt="Progresso da verificação",
  tr="Tarama ilerlemesi")
T("The file manager could not be reached to show %s.",
  ar="تعذّر الوصول إلى مدير الملفات لعرض %s.", cn="无法连接文件管理器以显示 %s。",
  cs="Správce souborů nelze zastihnout, aby zobrazil %s.",
  de="Der Dateimanager war nicht erreichbar, um %s zu zeigen.",
  el="Δεν ήταν δυνατή η πρόσβαση στη διαχείριση αρχείων για την εμφάνιση του %s.",
  es="No se pudo contactar con el administrador de archivos para mostrar %s.",
  fr="Le gestionnaire de fichiers n'a pas pu être joint pour afficher %s.",
  hu="A fájlkezelő nem érhető el a következő megjelenítéséhez: %s.",
  it="Impossibile raggiungere il gestore file per mostrare %s.",
  jp="%s を表示するためのファイル マネージャーに接続できませんでした。",
  kr="%s을(를) 표시할 파일 관리자에 연결할 수 없습니다.",
  nl="De bestandsbeheerder was niet bereikbaar om %s te tonen.",
  pl="Nie udało się połączyć z menedżerem plików, aby pokazać %s.",
  pt="Não foi possível contatar o gerenciador de arquivos para mostrar %s.",
  tr="%s göstermek için dosya yöneticisine ulaşılamadı.")
T("The web browser could not be reached to open %s.",
  ar="تعذّر الوصول إلى متصفح الويب لفتح %s.", cn="无法连接网页浏览器以打开 %s。",
  cs="Webový prohlížeč nelze zastihnout, aby otevřel %s.",
  de="Der Webbrowser war nicht erreichbar, um %s zu öffnen.",
  el="Δεν ήταν δυνατή η πρόσβαση στο πρόγραμμα περιήγησης για το άνοιγμα του %s.",
  es="No se pudo contactar con el navegador web para abrir %s.",
  fr="Le navigateur web n'a pas pu être joint pour ouvrir %s.",
  hu="A webböngésző nem érhető el a következő megnyitásához: %s.",
  it="Impossibile raggiungere il browser web per aprire %s.",
  jp="%s を開くための Web ブラウザーに接続できませんでした。",
  kr="%s을(를) 열 웹 브라우저에 연결할 수 없습니다.",
  nl="De webbrowser was niet bereikbaar om %s te openen.",
  pl="Nie udało się połączyć z przeglądarką, aby otworzyć %s.",
  pt="Não foi possível contatar o navegador para abrir %s.",
  tr="%s açmak için web tarayıcısına ulaşılamadı.")
T("Cannot save the settings to %s.", ar="تعذّر حفظ الإعدادات في %s.", cn="无法将设置保存到 %s。",
  cs="Nastavení nelze uložit do %s.", de="Die Einstellungen können nicht in %s gespeichert werden.",
  el="Δεν είναι δυνατή η αποθήκευση των ρυθμίσεων στο %s.",
  es="No se pueden guardar los ajustes en %s.", fr="Impossible d'enregistrer les paramètres dans %s.",
  hu="A beállítások nem menthetők ide: %s.", it="Impossibile salvare le impostazioni in %s.",
  jp="設定を %s に保存できません。", kr="설정을 %s에 저장할 수 없습니다.",
  nl="De instellingen kunnen niet in %s worden opgeslagen.",
  pl="Nie można zapisać ustawień w %s.", pt="Não é possível salvar as configurações em %s.",
  tr="Ayarlar %s konumuna kaydedilemiyor.")
T("Scan finished", ar="انتهى الفحص", cn="扫描已完成", cs="Prohledávání dokončeno",
  de="Scan abgeschlossen", el="Η σάρωση ολοκληρώθηκε", es="Examen terminado",
  fr="Analyse terminée", hu="A vizsgálat befejeződött", it="Scansione completata",
  jp="スキャンが完了しました", kr="스캔 완료", nl="Scan voltooid", pl="Skanowanie zakończone",
  pt="Verificação concluída", tr="Tarama tamamlandı")


# --- Safer removal, reference folders, exclusions, selection rules -----------
T("Groups that would keep no copy: %d", ar="مجموعات لن تبقى منها أي نسخة: %d",
  cn="将不保留任何副本的组：%d", cs="Skupiny, v nichž by nezůstala žádná kopie: %d",
  de="Gruppen, von denen keine Kopie übrig bliebe: %d",
  el="Ομάδες στις οποίες δεν θα έμενε κανένα αντίγραφο: %d",
  es="Grupos que se quedarían sin ninguna copia: %d", fr="Groupes qui ne garderaient aucune copie : %d",
  hu="Csoportok, amelyekből egyetlen másolat sem maradna: %d", it="Gruppi di cui non resterebbe alcuna copia: %d",
  jp="コピーが 1 つも残らないグループ: %d", kr="사본이 하나도 남지 않는 그룹: %d",
  nl="Groepen waarvan geen kopie zou overblijven: %d", pl="Grupy, z których nie zostałaby żadna kopia: %d",
  pt="Grupos que ficariam sem nenhuma cópia: %d", tr="Hiç kopyası kalmayacak gruplar: %d")
T("... and %d more", ar="... و%d غيرها", cn="……以及另外 %d 个", cs="... a %d dalších",
  de="... und %d weitere", el="... και %d ακόμη", es="... y %d más", fr="... et %d de plus",
  hu="... és még %d", it="... e altri %d", jp="... ほか %d 件", kr="... 외 %d개",
  nl="... en nog %d", pl="... i %d więcej", pt="... e mais %d", tr="... ve %d tane daha")
T("&Leave one copy in each", ar="إبقاء نسخة واحدة في كل منها", cn="每组保留一个副本",
  cs="V každé ponechat jednu kopii", de="In jeder eine Kopie behalten",
  el="Διατήρηση ενός αντιγράφου σε καθεμία", es="Dejar una copia en cada uno",
  fr="Laisser une copie dans chacun", hu="Mindegyikben egy másolat megtartása",
  it="Lascia una copia in ciascuno", jp="各グループに 1 つずつ残す", kr="각 그룹에 사본 하나 남기기",
  nl="In elke groep één kopie laten", pl="Zostaw jedną kopię w każdej",
  pt="Deixar uma cópia em cada um", tr="Her birinde bir kopya bırak")
T("&Go on anyway", ar="المتابعة على أي حال", cn="仍然继续", cs="Přesto pokračovat",
  de="Trotzdem fortfahren", el="Συνέχεια παρ' όλα αυτά", es="Continuar de todos modos",
  fr="Continuer quand même", hu="Folytatás mégis", it="Continua comunque", jp="このまま続行",
  kr="그래도 계속", nl="Toch doorgaan", pl="Mimo to kontynuuj", pt="Continuar mesmo assim",
  tr="Yine de devam et")
T("&Cancel", ar="إلغاء الأمر", cn="取消", cs="Storno", de="Abbrechen", el="Άκυρο",
  es="Cancelar", fr="Annuler", hu="Mégse", it="Annulla", jp="キャンセル", kr="취소",
  nl="Annuleren", pl="Anuluj", pt="Cancelar", tr="İptal")
T("%d checked entries were left out:", ar="تم استبعاد %d من العناصر المؤشَّر عليها:",
  cn="已跳过 %d 个勾选的项：", cs="%d zaškrtnutých položek bylo vynecháno:",
  de="%d markierte Einträge wurden ausgelassen:", el="Παραλείφθηκαν %d επιλεγμένες καταχωρίσεις:",
  es="Se omitieron %d entradas marcadas:", fr="%d entrées cochées ont été laissées de côté :",
  hu="%d bejelölt elem kimaradt:", it="%d voci selezionate sono state escluse:",
  jp="チェックした %d 件の項目を除外しました:", kr="선택한 항목 %d개를 제외했습니다:",
  nl="%d aangevinkte items zijn overgeslagen:", pl="Pominięto %d zaznaczonych pozycji:",
  pt="%d entradas marcadas foram deixadas de fora:", tr="İşaretli %d öğe dışarıda bırakıldı:")
T("gone since the scan", ar="اختفى منذ الفحص", cn="扫描后已不存在", cs="od prohledání zmizelo",
  de="seit dem Scan verschwunden", el="εξαφανίστηκε μετά τη σάρωση", es="desapareció desde el examen",
  fr="disparu depuis l'analyse", hu="a vizsgálat óta eltűnt", it="scomparso dalla scansione",
  jp="スキャン後に消えました", kr="스캔 후 사라짐", nl="verdwenen sinds de scan",
  pl="zniknęło od skanowania", pt="sumiu desde a verificação", tr="taramadan beri yok")
T("changed since the scan", ar="تغيّر منذ الفحص", cn="扫描后已更改", cs="od prohledání změněno",
  de="seit dem Scan verändert", el="άλλαξε μετά τη σάρωση", es="cambió desde el examen",
  fr="modifié depuis l'analyse", hu="a vizsgálat óta megváltozott", it="modificato dalla scansione",
  jp="スキャン後に変更されました", kr="스캔 후 변경됨", nl="gewijzigd sinds de scan",
  pl="zmieniło się od skanowania", pt="mudou desde a verificação", tr="taramadan beri değişti")
T("cannot be looked at", ar="تتعذّر معاينته", cn="无法查看", cs="nelze prohlédnout",
  de="kann nicht geprüft werden", el="δεν μπορεί να εξεταστεί", es="no se puede examinar",
  fr="impossible à examiner", hu="nem vizsgálható", it="non è possibile esaminarlo",
  jp="確認できません", kr="확인할 수 없음", nl="kan niet worden bekeken", pl="nie można sprawdzić",
  pt="não pode ser examinado", tr="incelenemiyor")
T("in a reference folder", ar="في مجلد مرجعي", cn="位于参考文件夹中", cs="ve referenční složce",
  de="in einem Referenzordner", el="σε φάκελο αναφοράς", es="en una carpeta de referencia",
  fr="dans un dossier de référence", hu="referenciamappában", it="in una cartella di riferimento",
  jp="参照フォルダー内", kr="참조 폴더에 있음", nl="in een referentiemap", pl="w folderze referencyjnym",
  pt="em uma pasta de referência", tr="bir referans klasöründe")
T("holds a reference folder", ar="يحتوي على مجلد مرجعي", cn="包含参考文件夹", cs="obsahuje referenční složku",
  de="enthält einen Referenzordner", el="περιέχει φάκελο αναφοράς", es="contiene una carpeta de referencia",
  fr="contient un dossier de référence", hu="referenciamappát tartalmaz", it="contiene una cartella di riferimento",
  jp="参照フォルダーを含みます", kr="참조 폴더를 포함함", nl="bevat een referentiemap", pl="zawiera folder referencyjny",
  pt="contém uma pasta de referência", tr="bir referans klasörü içeriyor")
T("names and sizes compared; contents are compared before removal",
  ar="قُورنت الأسماء والأحجام؛ تُقارَن المحتويات قبل الإزالة", cn="已比较名称和大小；删除前会比较内容",
  cs="porovnány názvy a velikosti; obsah se porovná před odstraněním",
  de="Namen und Größen verglichen; Inhalte werden vor dem Entfernen verglichen",
  el="συγκρίθηκαν ονόματα και μεγέθη· τα περιεχόμενα συγκρίνονται πριν από την αφαίρεση",
  es="se compararon nombres y tamaños; el contenido se compara antes de quitar",
  fr="noms et tailles comparés ; le contenu est comparé avant la suppression",
  hu="nevek és méretek összevetve; a tartalom eltávolítás előtt kerül összevetésre",
  it="confrontati nomi e dimensioni; il contenuto viene confrontato prima della rimozione",
  jp="名前とサイズを比較済み。内容は削除の前に比較されます", kr="이름과 크기를 비교함; 내용은 제거하기 전에 비교됩니다",
  nl="namen en grootten vergeleken; inhoud wordt vóór het verwijderen vergeleken",
  pl="porównano nazwy i rozmiary; zawartość jest porównywana przed usunięciem",
  pt="nomes e tamanhos comparados; o conteúdo é comparado antes da remoção",
  tr="adlar ve boyutlar karşılaştırıldı; içerikler kaldırmadan önce karşılaştırılır")
T("contents differ from every kept copy", ar="تختلف المحتويات عن كل نسخة محتفَظ بها", cn="内容与所有保留的副本都不同",
  cs="obsah se liší od všech ponechaných kopií", de="Inhalt weicht von jeder behaltenen Kopie ab",
  el="το περιεχόμενο διαφέρει από κάθε αντίγραφο που διατηρείται", es="el contenido difiere de todas las copias conservadas",
  fr="le contenu diffère de chaque copie conservée", hu="a tartalom minden megtartott példánytól eltér",
  it="il contenuto differisce da ogni copia conservata", jp="内容が保持されるどのコピーとも異なります",
  kr="내용이 보존되는 모든 사본과 다름", nl="inhoud wijkt af van elke bewaarde kopie",
  pl="zawartość różni się od każdej zachowanej kopii", pt="o conteúdo difere de todas as cópias mantidas",
  tr="içerik, saklanan her kopyadan farklı")
T("contents differ from every kept copy, first at %s", ar="تختلف المحتويات عن كل نسخة محتفَظ بها، أولًا عند %s",
  cn="内容与所有保留的副本都不同，首个差异位于 %s", cs="obsah se liší od všech ponechaných kopií, poprvé v %s",
  de="Inhalt weicht von jeder behaltenen Kopie ab, zuerst bei %s",
  el="το περιεχόμενο διαφέρει από κάθε αντίγραφο που διατηρείται, πρώτα στο %s",
  es="el contenido difiere de todas las copias conservadas, primero en %s",
  fr="le contenu diffère de chaque copie conservée, d'abord à %s",
  hu="a tartalom minden megtartott példánytól eltér, először itt: %s",
  it="il contenuto differisce da ogni copia conservata, prima in %s",
  jp="内容が保持されるどのコピーとも異なります (最初の相違: %s)", kr="내용이 보존되는 모든 사본과 다름 (첫 차이: %s)",
  nl="inhoud wijkt af van elke bewaarde kopie, eerst bij %s",
  pl="zawartość różni się od każdej zachowanej kopii, najpierw w %s",
  pt="o conteúdo difere de todas as cópias mantidas, primeiro em %s", tr="içerik, saklanan her kopyadan farklı; ilk fark: %s")
T("The comparison was stopped; nothing was moved.", ar="أُوقفت المقارنة؛ لم يُنقل شيء.",
  cn="比较已停止；未移动任何内容。", cs="Porovnání bylo zastaveno; nic nebylo přesunuto.",
  de="Der Vergleich wurde angehalten; nichts wurde verschoben.", el="Η σύγκριση διακόπηκε· τίποτα δεν μετακινήθηκε.",
  es="Se detuvo la comparación; no se movió nada.", fr="La comparaison a été arrêtée ; rien n'a été déplacé.",
  hu="Az összevetés leállt; semmi sem került át.", it="Il confronto è stato interrotto; non è stato spostato nulla.",
  jp="比較を中止しました。何も移動していません。", kr="비교가 중지되었습니다. 아무것도 이동하지 않았습니다.",
  nl="De vergelijking is gestopt; er is niets verplaatst.", pl="Porównanie zostało zatrzymane; nic nie przeniesiono.",
  pt="A comparação foi interrompida; nada foi movido.", tr="Karşılaştırma durduruldu; hiçbir şey taşınmadı.")
T("Reading folders to compare (%d/%d)...", ar="قراءة المجلدات للمقارنة (%d/%d)...",
  cn="正在读取要比较的文件夹 (%d/%d)...", cs="Čtení složek k porovnání (%d/%d)...",
  de="Ordner für den Vergleich werden gelesen (%d/%d)...", el="Ανάγνωση φακέλων για σύγκριση (%d/%d)...",
  es="Leyendo carpetas para comparar (%d/%d)...", fr="Lecture des dossiers à comparer (%d/%d)...",
  hu="Összevetendő mappák olvasása (%d/%d)...", it="Lettura delle cartelle da confrontare (%d/%d)...",
  jp="比較するフォルダーを読み込み中 (%d/%d)...", kr="비교할 폴더 읽는 중 (%d/%d)...",
  nl="Mappen lezen om te vergelijken (%d/%d)...", pl="Odczytywanie folderów do porównania (%d/%d)...",
  pt="Lendo pastas para comparar (%d/%d)...", tr="Karşılaştırılacak klasörler okunuyor (%d/%d)...")
T("Comparing folder contents (%d/%d)...", ar="مقارنة محتويات المجلدات (%d/%d)...",
  cn="正在比较文件夹内容 (%d/%d)...", cs="Porovnávání obsahu složek (%d/%d)...",
  de="Ordnerinhalte werden verglichen (%d/%d)...", el="Σύγκριση περιεχομένων φακέλων (%d/%d)...",
  es="Comparando el contenido de las carpetas (%d/%d)...", fr="Comparaison du contenu des dossiers (%d/%d)...",
  hu="Mappák tartalmának összevetése (%d/%d)...", it="Confronto del contenuto delle cartelle (%d/%d)...",
  jp="フォルダーの内容を比較中 (%d/%d)...", kr="폴더 내용 비교 중 (%d/%d)...",
  nl="Mapinhoud vergelijken (%d/%d)...", pl="Porównywanie zawartości folderów (%d/%d)...",
  pt="Comparando o conteúdo das pastas (%d/%d)...", tr="Klasör içerikleri karşılaştırılıyor (%d/%d)...")
T("No files were moved to the Recycle Bin.", ar="لم يُنقل أي ملف إلى سلة المحذوفات.",
  cn="没有文件被移到回收站。", cs="Do koše nebyl přesunut žádný soubor.",
  de="Es wurde keine Datei in den Papierkorb verschoben.",
  el="Κανένα αρχείο δεν μετακινήθηκε στον Κάδο Ανακύκλωσης.",
  es="No se movió ningún archivo a la Papelera de reciclaje.",
  fr="Aucun fichier n'a été mis à la corbeille.", hu="Egyetlen fájl sem került a Lomtárba.",
  it="Nessun file è stato spostato nel Cestino.", jp="ごみ箱に移動したファイルはありません。",
  kr="휴지통으로 이동한 파일이 없습니다.", nl="Er is geen bestand naar de Prullenbak verplaatst.",
  pl="Żaden plik nie został przeniesiony do Kosza.", pt="Nenhum arquivo foi movido para a Lixeira.",
  tr="Geri Dönüşüm Kutusu'na hiçbir dosya taşınmadı.")
T("No directories were moved to the Recycle Bin.", ar="لم يُنقل أي مجلد إلى سلة المحذوفات.",
  cn="没有文件夹被移到回收站。", cs="Do koše nebyla přesunuta žádná složka.",
  de="Es wurde kein Ordner in den Papierkorb verschoben.",
  el="Κανένας φάκελος δεν μετακινήθηκε στον Κάδο Ανακύκλωσης.",
  es="No se movió ninguna carpeta a la Papelera de reciclaje.",
  fr="Aucun dossier n'a été mis à la corbeille.", hu="Egyetlen mappa sem került a Lomtárba.",
  it="Nessuna cartella è stata spostata nel Cestino.", jp="ごみ箱に移動したフォルダーはありません。",
  kr="휴지통으로 이동한 폴더가 없습니다.", nl="Er is geen map naar de Prullenbak verplaatst.",
  pl="Żaden folder nie został przeniesiony do Kosza.", pt="Nenhuma pasta foi movida para a Lixeira.",
  tr="Geri Dönüşüm Kutusu'na hiçbir klasör taşınmadı.")
T("Moved to the Recycle Bin: %d of %d", ar="نُقل إلى سلة المحذوفات: %d من %d",
  cn="已移到回收站：%d / %d", cs="Přesunuto do koše: %d z %d",
  de="In den Papierkorb verschoben: %d von %d", el="Μετακινήθηκαν στον Κάδο Ανακύκλωσης: %d από %d",
  es="Movidos a la Papelera de reciclaje: %d de %d", fr="Mis à la corbeille : %d sur %d",
  hu="A Lomtárba került: %d / %d", it="Spostati nel Cestino: %d di %d",
  jp="ごみ箱に移動: %d / %d", kr="휴지통으로 이동함: %d / %d",
  nl="Naar de Prullenbak verplaatst: %d van %d", pl="Przeniesiono do Kosza: %d z %d",
  pt="Movidos para a Lixeira: %d de %d", tr="Geri Dönüşüm Kutusu'na taşınan: %d / %d")
T("Not moved: %d", ar="لم يُنقل: %d", cn="未移动：%d", cs="Nepřesunuto: %d", de="Nicht verschoben: %d",
  el="Δεν μετακινήθηκαν: %d", es="No movidos: %d", fr="Non déplacés : %d", hu="Nem került át: %d",
  it="Non spostati: %d", jp="移動しなかったもの: %d", kr="이동하지 않음: %d", nl="Niet verplaatst: %d",
  pl="Nie przeniesiono: %d", pt="Não movidos: %d", tr="Taşınmayan: %d")
T("left in place when the move stopped", ar="بقي في مكانه عندما توقف النقل",
  cn="移动中止时保留在原处", cs="zůstalo na místě, když se přesun zastavil",
  de="blieb an seinem Platz, als das Verschieben anhielt", el="έμεινε στη θέση του όταν σταμάτησε η μετακίνηση",
  es="se quedó en su sitio al detenerse el traslado", fr="laissé en place quand le déplacement s'est arrêté",
  hu="a helyén maradt, amikor az áthelyezés leállt", it="lasciato al suo posto quando lo spostamento si è fermato",
  jp="移動が止まったため元の場所に残りました", kr="이동이 중단되어 제자리에 남음",
  nl="bleef staan toen het verplaatsen stopte", pl="zostało na miejscu, gdy przenoszenie się zatrzymało",
  pt="ficou no lugar quando a movimentação parou", tr="taşıma durduğunda yerinde kaldı")
T("a folder on its way is a link or was replaced", ar="أحد المجلدات في مساره رابط أو استُبدل",
  cn="其路径上的某个文件夹是链接或已被替换", cs="složka na jeho cestě je odkaz nebo byla nahrazena",
  de="ein Ordner auf dem Weg dorthin ist eine Verknüpfung oder wurde ersetzt",
  el="ένας φάκελος στη διαδρομή του είναι σύνδεσμος ή αντικαταστάθηκε",
  es="una carpeta de su ruta es un enlace o fue sustituida",
  fr="un dossier sur son chemin est un lien ou a été remplacé",
  hu="egy mappa az útvonalán hivatkozás, vagy kicserélték",
  it="una cartella lungo il percorso è un collegamento o è stata sostituita",
  jp="途中のフォルダーがリンクであるか、置き換えられました", kr="경로의 폴더가 링크이거나 바뀌었음",
  nl="een map onderweg is een koppeling of is vervangen", pl="folder na jego ścieżce jest dowiązaniem lub został podmieniony",
  pt="uma pasta no caminho é um link ou foi substituída", tr="yolundaki bir klasör bağlantı ya da değiştirilmiş")
T("the trash cannot take it", ar="لا تقبله سلة المحذوفات", cn="回收站无法接收", cs="koš ho nemůže přijmout",
  de="der Papierkorb kann es nicht aufnehmen", el="ο Κάδος Ανακύκλωσης δεν μπορεί να το δεχτεί",
  es="la Papelera de reciclaje no puede aceptarlo", fr="la corbeille ne peut pas l'accueillir",
  hu="a Lomtár nem tudja befogadni", it="il Cestino non può accoglierlo", jp="ごみ箱に入れられません",
  kr="휴지통에 넣을 수 없음", nl="de Prullenbak kan het niet opnemen", pl="Kosz nie może go przyjąć",
  pt="a Lixeira não pode recebê-lo", tr="Geri Dönüşüm Kutusu bunu alamıyor")
T("The disk changed after you confirmed:", ar="تغيّر القرص بعد أن أكّدت:", cn="确认之后磁盘发生了变化：",
  cs="Po vašem potvrzení se disk změnil:", de="Nach Ihrer Bestätigung hat sich auf dem Datenträger etwas geändert:",
  el="Ο δίσκος άλλαξε αφού επιβεβαιώσατε:", es="El disco cambió después de que confirmara:",
  fr="Le disque a changé après votre confirmation :", hu="A lemez megváltozott, miután megerősítette:",
  it="Il disco è cambiato dopo la conferma:", jp="確認の後でディスクが変わりました:",
  kr="확인한 뒤 디스크가 바뀌었습니다:", nl="De schijf is veranderd nadat u bevestigde:",
  pl="Po potwierdzeniu zawartość dysku się zmieniła:", pt="O disco mudou depois da sua confirmação:",
  tr="Onayladıktan sonra diskte değişiklik oldu:")
T("back as the scan saw it", ar="عاد كما رآه الفحص", cn="已恢复为扫描时的状态", cs="je zpět, jak ho viděl průzkum",
  de="wieder so, wie der Scan es sah", el="ξανά όπως το είδε η σάρωση", es="de nuevo como lo vio el examen",
  fr="de nouveau tel que l'analyse l'a vu", hu="ismét olyan, amilyennek a vizsgálat látta",
  it="di nuovo come lo ha visto la scansione", jp="スキャン時の状態に戻りました", kr="스캔 때 상태로 돌아옴",
  nl="weer zoals de scan het zag", pl="znów takie, jak widziało je skanowanie",
  pt="de volta como a verificação o viu", tr="taramanın gördüğü hâline döndü")
T("Nothing is left to move.", ar="لم يبقَ شيء لنقله.", cn="没有可移动的内容了。", cs="Nezbývá nic k přesunutí.",
  de="Es bleibt nichts zu verschieben.", el="Δεν έμεινε τίποτα για μετακίνηση.", es="No queda nada que mover.",
  fr="Il ne reste rien à déplacer.", hu="Nem maradt semmi áthelyeznivaló.", it="Non resta nulla da spostare.",
  jp="移動するものは残っていません。", kr="이동할 항목이 남아 있지 않습니다.", nl="Er is niets meer te verplaatsen.",
  pl="Nie zostało nic do przeniesienia.", pt="Não resta nada para mover.", tr="Taşınacak bir şey kalmadı.")
T("In a reference folder: kept, never checked or moved.",
  ar="في مجلد مرجعي: يُحتفظ به، ولا يُؤشَّر عليه ولا يُنقل أبدًا.",
  cn="位于参考文件夹中：始终保留，不会被勾选或移动。",
  cs="Ve referenční složce: ponechá se, nikdy se nezaškrtne ani nepřesune.",
  de="In einem Referenzordner: wird behalten, nie markiert oder verschoben.",
  el="Σε φάκελο αναφοράς: διατηρείται, δεν επιλέγεται ούτε μετακινείται ποτέ.",
  es="En una carpeta de referencia: se conserva, nunca se marca ni se mueve.",
  fr="Dans un dossier de référence : conservé, jamais coché ni déplacé.",
  hu="Referenciamappában: megmarad, soha nem jelölődik be és nem kerül át.",
  it="In una cartella di riferimento: conservato, mai selezionato né spostato.",
  jp="参照フォルダー内: 保持され、チェックも移動もされません。",
  kr="참조 폴더에 있음: 보존되며 선택되거나 이동되지 않습니다.",
  nl="In een referentiemap: blijft bewaard, wordt nooit aangevinkt of verplaatst.",
  pl="W folderze referencyjnym: zachowany, nigdy nie jest zaznaczany ani przenoszony.",
  pt="Em uma pasta de referência: mantido, nunca marcado nem movido.",
  tr="Bir referans klasöründe: korunur, hiçbir zaman işaretlenmez veya taşınmaz.")
T("A checked folder is a reference folder: its files are compared, but never checked or moved.",
  ar="المجلد المؤشَّر عليه مجلد مرجعي: تُقارن ملفاته، لكن لا يُؤشَّر عليها ولا تُنقل أبدًا.",
  cn="勾选的文件夹是参考文件夹：其中的文件参与比较，但不会被勾选或移动。",
  cs="Zaškrtnutá složka je referenční: její soubory se porovnávají, ale nikdy se nezaškrtnou ani nepřesunou.",
  de="Ein markierter Ordner ist ein Referenzordner: seine Dateien werden verglichen, aber nie markiert oder verschoben.",
  el="Ένας επιλεγμένος φάκελος είναι φάκελος αναφοράς: τα αρχεία του συγκρίνονται, αλλά δεν επιλέγονται ούτε μετακινούνται ποτέ.",
  es="Una carpeta marcada es una carpeta de referencia: sus archivos se comparan, pero nunca se marcan ni se mueven.",
  fr="Un dossier coché est un dossier de référence : ses fichiers sont comparés, mais jamais cochés ni déplacés.",
  hu="A bejelölt mappa referenciamappa: fájljai részt vesznek az összehasonlításban, de soha nem jelölődnek be és nem kerülnek át.",
  it="Una cartella selezionata è una cartella di riferimento: i suoi file vengono confrontati, ma mai selezionati né spostati.",
  jp="チェックしたフォルダーは参照フォルダーです。そのファイルは比較されますが、チェックも移動もされません。",
  kr="선택한 폴더는 참조 폴더입니다. 그 파일은 비교되지만 선택되거나 이동되지 않습니다.",
  nl="Een aangevinkte map is een referentiemap: de bestanden worden vergeleken, maar nooit aangevinkt of verplaatst.",
  pl="Zaznaczony folder jest folderem referencyjnym: jego pliki są porównywane, ale nigdy nie są zaznaczane ani przenoszone.",
  pt="Uma pasta marcada é uma pasta de referência: seus arquivos são comparados, mas nunca marcados nem movidos.",
  tr="İşaretli klasör bir referans klasörüdür: dosyaları karşılaştırılır ama hiçbir zaman işaretlenmez veya taşınmaz.")
T("E&xclude:", ar="استبعاد:", cn="排除:", cs="Vyloučit:", de="Ausschließen:", el="Εξαίρεση:",
  es="Excluir:", fr="Exclure :", hu="Kizárás:", it="Escludi (nomi o wildcard):", jp="除外:", kr="제외:",
  nl="Uitsluiten:", pl="Wyklucz:", pt="Excluir:", tr="Hariç tut:")
T('Folder names and patterns to leave out, separated by ";": .git; node_modules; */cache/*; *.tmp',
  ar='أسماء المجلدات والأنماط المراد استبعادها، مفصولة بـ ";": .git; node_modules; */cache/*; *.tmp',
  cn='要排除的文件夹名称和模式，以“;”分隔：.git; node_modules; */cache/*; *.tmp',
  cs='Názvy složek a vzory k vynechání, oddělené „;“: .git; node_modules; */cache/*; *.tmp',
  de='Auszulassende Ordnernamen und Muster, getrennt durch „;“: .git; node_modules; */cache/*; *.tmp',
  el='Ονόματα φακέλων και μοτίβα προς παράλειψη, χωρισμένα με «;»: .git; node_modules; */cache/*; *.tmp',
  es='Nombres de carpeta y patrones que omitir, separados por «;»: .git; node_modules; */cache/*; *.tmp',
  fr='Noms de dossiers et motifs à laisser de côté, séparés par « ; » : .git; node_modules; */cache/*; *.tmp',
  hu='Kihagyandó mappanevek és minták „;” jellel elválasztva: .git; node_modules; */cache/*; *.tmp',
  it='Nomi di cartelle e modelli da escludere, separati da ";": .git; node_modules; */cache/*; *.tmp',
  jp='除外するフォルダー名とパターン (「;」で区切る): .git; node_modules; */cache/*; *.tmp',
  kr='제외할 폴더 이름과 패턴(";"로 구분): .git; node_modules; */cache/*; *.tmp',
  nl='Mapnamen en patronen om over te slaan, gescheiden door ";": .git; node_modules; */cache/*; *.tmp',
  pl='Nazwy folderów i wzorce do pominięcia, rozdzielone „;”: .git; node_modules; */cache/*; *.tmp',
  pt='Nomes de pastas e padrões a deixar de fora, separados por ";": .git; node_modules; */cache/*; *.tmp',
  tr='Dışarıda bırakılacak klasör adları ve desenler, ";" ile ayrılmış: .git; node_modules; */cache/*; *.tmp')
T("in each group all but the reference copies, or else the first file, are checked",
  ar="في كل مجموعة تم التأشير على الكل عدا النسخ المرجعية، وإلا فعدا الملف الأول",
  cn="每组中除参考副本（若无则除第一个文件）外均已勾选",
  cs="v každé skupině je zaškrtnuto vše kromě referenčních kopií, jinak kromě prvního souboru",
  de="in jeder Gruppe ist alles außer den Referenzkopien markiert, sonst alles außer der ersten Datei",
  el="σε κάθε ομάδα επιλέχθηκαν όλα εκτός από τα αντίγραφα αναφοράς, αλλιώς εκτός από το πρώτο αρχείο",
  es="en cada grupo está marcado todo menos las copias de referencia o, si no las hay, el primer archivo",
  fr="dans chaque groupe, tout est coché sauf les copies de référence, ou à défaut le premier fichier",
  hu="minden csoportban minden be van jelölve a referenciamásolatok, ezek híján az első fájl kivételével",
  it="in ogni gruppo è selezionato tutto tranne le copie di riferimento o, in mancanza, il primo file",
  jp="各グループで参照コピー (なければ最初のファイル) 以外をすべてチェックしています",
  kr="각 그룹에서 참조 사본(없으면 첫 파일)을 제외한 모든 항목이 선택되었습니다",
  nl="in elke groep is alles aangevinkt behalve de referentiekopieën, anders behalve het eerste bestand",
  pl="w każdej grupie zaznaczono wszystko oprócz kopii referencyjnych, a gdy ich brak — oprócz pierwszego pliku",
  pt="em cada grupo tudo está marcado exceto as cópias de referência ou, na falta delas, o primeiro arquivo",
  tr="her grupta referans kopyalar, yoksa ilk dosya dışındaki her şey işaretli")
T("Chec&k...", ar="تأشير...", cn="勾选...", cs="Zaškrtnout...", de="Markieren...", el="Επιλογή...",
  es="Marcar...", fr="Cocher...", hu="Bejelölés...", it="Seleziona...", jp="チェック...", kr="선택...",
  nl="Aanvinken...", pl="Zaznacz...", pt="Marcar...", tr="İşaretle...")
T("All but the &newest", ar="الكل عدا الأحدث", cn="除最新的以外全部", cs="Vše kromě nejnovějšího",
  de="Alle außer der neuesten", el="Όλα εκτός από το νεότερο", es="Todos menos el más reciente",
  fr="Tous sauf le plus récent", hu="Mindet a legújabb kivételével", it="Tutti tranne il più recente",
  jp="最新以外すべて", kr="최신 항목 외 모두", nl="Alle behalve de nieuwste", pl="Wszystkie oprócz najnowszego",
  pt="Todos exceto o mais recente", tr="En yeni hariç tümü")
T("All but the &oldest", ar="الكل عدا الأقدم", cn="除最旧的以外全部", cs="Vše kromě nejstaršího",
  de="Alle außer der ältesten", el="Όλα εκτός από το παλαιότερο", es="Todos menos el más antiguo",
  fr="Tous sauf le plus ancien", hu="Mindet a legrégebbi kivételével", it="Tutti tranne il più vecchio",
  jp="最古以外すべて", kr="가장 오래된 항목 외 모두", nl="Alle behalve de oudste", pl="Wszystkie oprócz najstarszego",
  pt="Todos exceto o mais antigo", tr="En eski hariç tümü")
T("All but the &shortest path", ar="الكل عدا صاحب أقصر مسار", cn="除路径最短的以外全部",
  cs="Vše kromě nejkratší cesty", de="Alle außer dem kürzesten Pfad", el="Όλα εκτός από τη συντομότερη διαδρομή",
  es="Todos menos la ruta más corta", fr="Tous sauf le chemin le plus court", hu="Mindet a legrövidebb útvonal kivételével",
  it="Tutti tranne il percorso più corto", jp="最短パス以外すべて", kr="가장 짧은 경로 외 모두",
  nl="Alle behalve het kortste pad", pl="Wszystkie oprócz najkrótszej ścieżki", pt="Todos exceto o caminho mais curto",
  tr="En kısa yol hariç tümü")
T("All but the &longest path", ar="الكل عدا صاحب أطول مسار", cn="除路径最长的以外全部",
  cs="Vše kromě nejdelší cesty", de="Alle außer dem längsten Pfad", el="Όλα εκτός από τη μακρύτερη διαδρομή",
  es="Todos menos la ruta más larga", fr="Tous sauf le chemin le plus long", hu="Mindet a leghosszabb útvonal kivételével",
  it="Tutti tranne il percorso più lungo", jp="最長パス以外すべて", kr="가장 긴 경로 외 모두",
  nl="Alle behalve het langste pad", pl="Wszystkie oprócz najdłuższej ścieżki", pt="Todos exceto o caminho mais longo",
  tr="En uzun yol hariç tümü")
T("All but the first in a &folder...", ar="الكل عدا الأول في مجلد...", cn="除某文件夹中的第一个以外全部...",
  cs="Vše kromě prvního ve složce...", de="Alle außer dem ersten in einem Ordner...",
  el="Όλα εκτός από το πρώτο σε φάκελο...", es="Todos menos el primero de una carpeta...",
  fr="Tous sauf le premier d'un dossier...", hu="Mindet egy mappa első elemének kivételével...",
  it="Tutti tranne il primo in una cartella...", jp="フォルダー内の最初以外すべて...",
  kr="폴더의 첫 항목 외 모두...", nl="Alle behalve de eerste in een map...",
  pl="Wszystkie oprócz pierwszego w folderze...", pt="Todos exceto o primeiro de uma pasta...",
  tr="Bir klasördeki ilki hariç tümü...")
T("Keep the copies in this folder", ar="الاحتفاظ بالنسخ في هذا المجلد", cn="保留此文件夹中的副本",
  cs="Ponechat kopie v této složce", de="Die Kopien in diesem Ordner behalten",
  el="Διατήρηση των αντιγράφων σε αυτόν τον φάκελο", es="Conservar las copias de esta carpeta",
  fr="Garder les copies de ce dossier", hu="A mappában lévő másolatok megtartása",
  it="Conserva le copie in questa cartella", jp="このフォルダー内のコピーを残す",
  kr="이 폴더의 사본 보존", nl="De kopieën in deze map bewaren", pl="Zachowaj kopie w tym folderze",
  pt="Manter as cópias desta pasta", tr="Bu klasördeki kopyaları koru")
T("%d groups have no copy in %s; nothing is checked in them.",
  ar="%d مجموعة ليس لها نسخة في %s؛ لم يُؤشَّر على شيء فيها.",
  cn="%d 个组在 %s 中没有副本；这些组中未勾选任何项。",
  cs="%d skupin nemá kopii v %s; nic v nich není zaškrtnuto.",
  de="%d Gruppen haben keine Kopie in %s; in ihnen ist nichts markiert.",
  el="%d ομάδες δεν έχουν αντίγραφο στο %s· τίποτα δεν επιλέχθηκε σε αυτές.",
  es="%d grupos no tienen ninguna copia en %s; no se marcó nada en ellos.",
  fr="%d groupes n'ont aucune copie dans %s ; rien n'y est coché.",
  hu="%d csoportnak nincs másolata itt: %s; bennük semmi sincs bejelölve.",
  it="%d gruppi non hanno copie in %s; in essi non è selezionato nulla.",
  jp="%d 個のグループは %s にコピーがありません。それらでは何もチェックしていません。",
  kr="%d개 그룹은 %s에 사본이 없어 아무것도 선택하지 않았습니다.",
  nl="%d groepen hebben geen kopie in %s; daarin is niets aangevinkt.",
  pl="%d grup nie ma kopii w %s; nic w nich nie zaznaczono.",
  pt="%d grupos não têm cópia em %s; nada foi marcado neles.",
  tr="%d grubun %s içinde kopyası yok; bunlarda hiçbir şey işaretlenmedi.")


# --- Keyboard mnemonics -------------------------------------------------------
#
# A key with a single "&" is a caption with a mnemonic: the letter after the
# "&" is the one Alt reaches it by. The table holds its translations without
# one; the generator places it, so that no two captions that Alt reaches at
# the same time share a letter in any language. Those are the captions of one
# scope below: the menu bar's titles; the items of one menu; the controls of
# one panel of the window together with the menu bar's titles (Alt+F must
# open the File menu, not land on a check box); and the buttons of the
# new-version dialog, all four captions its two buttons take (it shows before
# the main window, so the menu bar is not there).
#
# Chinese, Japanese and Korean write the English letter in brackets after the
# caption ("ファイル(&F)"), as their desktops do. The other languages take a
# letter of the caption itself: the first of a word where it can, a plain
# letter of the keyboard of the language before an accented one, and never a
# letter whose capital is not a single character of its own (the capital is
# what the key is matched by).

MENU_BAR = ["&File", "&Action", "&Edit", "&View", "&Help"]
MNEMONIC_SCOPES = [
    ("menu bar", MENU_BAR),
    ("File menu", ["&Add Folder...", "Export F&ile Clones...", "Export Fo&lder Clones...", "E&xit"]),
    ("Action menu", ["&Scan", "S&top", "&Remove Checked"]),
    ("Edit menu", ["Check all but one in &group", "&Check All", "&Uncheck All", "Chec&k..."]),
    ("Check menu", ["All but the &newest", "All but the &oldest", "All but the &shortest path",
                    "All but the &longest path", "All but the first in a &folder..."]),
    ("last copy warning", ["&Leave one copy in each", "&Go on anyway", "&Cancel"]),
    ("View menu", ["&Page", "&Show Settings Panel", "&Language"]),
    ("Page menu", ["&File Clones", "F&older Clones"]),
    ("Help menu", ["&Tutorial", "&Contact Us", "&Visit Website", "&About..."]),
    ("settings panel", MENU_BAR + [
        "Folders &to scan:", "Add f&older...", "&Remove Selected", "Fin&d file clones",
        "Find fo&lder clones", "Compare folder contents b&yte by byte", "Compare files &by", "&Name", "S&ize", "Na&me && Size",
        "&Content (SHA-1)", "File mas&ks (CSV):", "Min si&ze (MB):", "&Parallel hashing",
        "Follo&w folder links",
        "Max &groups (0 = all):", "Min gro&up size:", "E&xclude:", "&Scan"]),
    ("bottom panel", MENU_BAR + [
        "Check all but one in &group", "&Check all", "&Uncheck all", "Chec&k...", "&Open location",
        "&Delete checked to Recycle Bin", "Export F&ile Clones...", "Export Fo&lder Clones...",
        "S&top"]),
    ("new-version dialog", ["&Update Now", "&Skip", "E&xit", "&Abort"]),
]
MNEMONIC_KEYS = {k for _, ks in MNEMONIC_SCOPES for k in ks}
BRACKETED = ("cn", "jp", "kr")


def mnemonic_position(text):
    """Index of the character after the single "&" of text, or -1."""
    i = 0
    while i < len(text):
        if text.startswith("&&", i):
            i += 2
            continue
        if text[i] == "&":
            return i + 1
        i += 1
    return -1


def mnemonic_letter(text):
    p = mnemonic_position(text)
    return text[p].upper() if 0 <= p < len(text) else None


def letter_kind(code, ch):
    """0 for a plain letter of the language's keyboard, 1 for an accented or
    foreign one that still does, None for what cannot carry a mnemonic."""
    if not ch.isalpha() or len(ch.upper()) != 1:
        return None
    if code == "tr" and ch in "iIıİ":
        return None  # Alt+i and Alt+ı would reach the same capital
    if code == "el":
        if "\u03b1" <= ch.lower() <= "\u03c9":
            return 0
        return None if unicodedata.name(ch, "").startswith("GREEK") else 1
    if code == "ar":
        if "\u0621" <= ch <= "\u064a" and ch != "\u0640":
            return 0
        return 1 if ch.isascii() else None
    if ch.isascii():
        return 0
    return 1 if unicodedata.name(ch, "").startswith("LATIN") else None


def mnemonic_choices(code, text):
    """{capital: (cost, index)} for every letter of text that may carry it."""
    choices = {}
    depth = 0
    word_start = True
    i = 0
    while i < len(text):
        if text.startswith("&&", i):
            word_start = True
            i += 2
            continue
        ch = text[i]
        depth += ch == "("
        depth -= ch == ")"
        kind = letter_kind(code, ch)
        if kind is not None:
            cost = (0 if i == 0 else 1 if word_start else 3) + 4 * kind + 2 * (depth > 0)
            capital = ch.upper()
            if capital not in choices or choices[capital][0] > cost:
                choices[capital] = (cost, i)
        word_start = not ch.isalnum()
        i += 1
    return choices


def bracketed(text, letter):
    """text with "(&X)" before a closing ellipsis or colon."""
    for tail in ("...", "：", ":"):
        if text.endswith(tail):
            return text[: -len(tail)] + f"(&{letter})" + tail
    return text + f"(&{letter})"


def place_mnemonics(code, by_key):
    """{key: translation with its "&"} for every mnemonic key, in language
    code; raises ValueError when the scopes cannot be served."""
    keys = list(dict.fromkeys(k for _, ks in MNEMONIC_SCOPES for k in ks))
    if code in BRACKETED:
        return {k: bracketed(by_key[k][code], mnemonic_letter(k)) for k in keys}
    choices = {k: sorted(mnemonic_choices(code, by_key[k][code]).items(), key=lambda c: c[1][0]) for k in keys}
    scopes_of = {k: [ks for _, ks in MNEMONIC_SCOPES if k in ks] for k in keys}
    # A scope with fewer letters than captions has no answer, and the search
    # would take forever to find that out.
    for name, ks in MNEMONIC_SCOPES:
        letters = set().union(*(dict(choices[k]).keys() for k in ks))
        if len(letters) < len(set(ks)):
            raise ValueError(f"{code}: the {name} has {len(set(ks))} captions but only {len(letters)} letters")
    chosen = {}

    def free(k, capital):
        return all(chosen.get(o, (None,))[0] != capital for ks in scopes_of[k] for o in ks if o != k)

    def search():
        open_keys = [k for k in keys if k not in chosen]
        if not open_keys:
            return True
        # The most constrained caption first, its cheapest letter first.
        k = min(open_keys, key=lambda k: sum(free(k, c) for c, _ in choices[k]))
        for capital, (_, index) in choices[k]:
            if free(k, capital):
                chosen[k] = (capital, index)
                if search():
                    return True
                del chosen[k]
        return False

    if not search():
        raise ValueError(f"{code}: the mnemonic scopes cannot all be served")
    placed = {}
    for k, (_, index) in chosen.items():
        text = by_key[k][code]
        placed[k] = text[:index] + "&" + text[index:]
    return placed


# --- Generator --------------------------------------------------------------

# Every '%' sequence: the placeholders %d and %s, and "%%", "%n" or a lone "%",
# which a translation may hold only where its key holds them too.
PERCENT = re.compile(r"%.?", re.S)


def percents(text):
    seqs = PERCENT.findall(text)
    return [s for s in seqs if s in ("%d", "%s")], sorted(s for s in seqs if s not in ("%d", "%s"))


def check():
    codes = [code for code, _ in LANGUAGES[1:]]
    problems = []
    seen = set()
    for key, tr in TEXTS:
        if key in seen:
            problems.append(f"key twice: {key!r}")
        seen.add(key)
        missing = [c for c in codes if not tr.get(c)]
        extra = [c for c in tr if c not in codes]
        if missing or extra:
            problems.append(f"{key!r}: missing {missing}, unknown {extra}")
        for text in [key] + [tr.get(c, "") for c in codes]:
            if "\n" in text or "\r" in text:
                problems.append(f"line break in {text!r}")
            if "&" in text.replace("&&", "") and not (text is key and key in MNEMONIC_KEYS):
                problems.append(f"single '&' in {text!r}")
        for c in codes:
            if percents(tr.get(c, "")) != percents(key):
                problems.append(f"{c} '%' sequences differ: {key!r} -> {tr.get(c)!r}")
    by_key = dict(TEXTS)
    for name, keys in MNEMONIC_SCOPES:
        missing = [k for k in keys if k not in by_key]
        if missing:
            problems.append(f"{name}: no text {missing}")
        letters = [mnemonic_letter(k) for k in keys]
        if len(set(letters)) != len(letters):
            problems.append(f"{name}: English mnemonics clash: {keys}")
    if not problems:
        for c in codes:
            try:
                place_mnemonics(c, by_key)
            except ValueError as e:
                problems.append(str(e))
    for c in codes:
        buttons = [by_key[k][c] for k in ("&Abort", "&Skip", "E&xit")]
        if len(set(buttons)) != 3:
            problems.append(f"{c}: Abort, Skip and Exit must differ: {buttons}")
    return problems


def render():
    by_key = dict(TEXTS)
    placed = {code: place_mnemonics(code, by_key) for code, _ in LANGUAGES[1:]}
    lines = [str(len(LANGUAGES))]
    lines += [name for _, name in LANGUAGES]
    lines += [code for code, _ in LANGUAGES]
    for key, tr in TEXTS:
        lines.append(key)
        lines += [placed[code].get(key, tr[code]) for code, _ in LANGUAGES[1:]]
    return "\n".join(lines) + "\n"


def main():
    problems = check()
    if problems:
        print("\n".join(problems), file=sys.stderr)
        return 1
    out = os.path.join(os.path.dirname(os.path.abspath(__file__)), "transl.dt")
    with open(out, "w", encoding="utf-8", newline="\n") as f:
        f.write(render())
    print(f"{out}: {len(LANGUAGES)} languages, {len(TEXTS)} texts")
    return 0


if __name__ == "__main__":
    sys.exit(main())
